# Reads a public header as Doxygen should see it: the comment at the top
# documents the file, a comment line before a declaration documents it and
# a comment after a member (or an inline body) on its line documents
# that member. Rulers
# ("// ----- drawing") stay plain comments. The first class a header
# defines, when nothing documents it, takes the file's comment too.
BEGIN { top = 1 }
{
    line = $0
    if (top) {
        if (line ~ /^\/\//) {
            if (!started) { print "/// \\file"; started = 1 }
            sub(/^\/\//, "///", line)
            filedoc[++nfile] = line
            print line
            next
        }
        top = 0
    }
    if (!classdone && line ~ /^(class|struct) [A-Za-z_]+( |$)/ && line !~ /;[ \t]*$/) {
        classdone = 1
        if (!documented)
            for (i = 1; i <= nfile; ++i) print filedoc[i]
    }
    documented = (line ~ /^[ \t]*\/\//)
    if (line ~ /^[ \t]*\/\/ *---+/ || line ~ /^[ \t]*\/\/\//) {
        print line
        next
    }
    if (line ~ /^[ \t]*\/\//) {
        sub(/\/\//, "///", line)
        print line
        next
    }
    if (line !~ /Q_PROPERTY|#/ && (line ~ /[;,] +\/\/ / || line ~ /\{.*\} +\/\/ /))
        sub(/ \/\/ /, " ///< ", line)
    print line
}
