# Reads a public header as Doxygen should see it. The comment at the top
# documents the file. A comment before a run of declarations (up to the next
# blank line, comment or access label) documents each of them, as it does
# for a reader: the run becomes a member group whose first member carries
# the comment. A comment after a member on its line documents that member.
# Rulers ("// ----- drawing") stay plain comments.
function close_group() {
    if (grouped) { print "//@}"; grouped = 0 }
}
BEGIN { top = 1 }
{
    line = $0
    if (top) {
        if (line ~ /^\/\//) {
            if (!started) { print "/// \\file"; started = 1 }
            sub(/^\/\//, "///", line)
            print line
            next
        }
        top = 0
    }
    if (line ~ /^[ \t]*\/\/ *-{3,}/) {
        close_group(); print line; next
    }
    if (line ~ /^[ \t]*\/\//) {
        if (!incomment) { close_group(); print "//@{"; grouped = 1; incomment = 1 }
        sub(/\/\//, "///", line)
        print line
        next
    }
    incomment = 0
    if (line ~ /^[ \t]*$/ || line ~ /^[ \t]*(public|protected|private|signals)[ \t]*:/ || line ~ /^[ \t]*}[ \t]*;/ ||
        line ~ /^[ \t]*#/ || line ~ /^(class|struct|namespace|enum)[ \t]/) {
        close_group()
    }
    if (line !~ /Q_PROPERTY|#/ && line ~ /[;,] +\/\/ /)
        sub(/ \/\/ /, " ///< ", line)
    print line
}
END { close_group() }
