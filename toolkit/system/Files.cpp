#include "toolkit/system/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <system_error>

namespace {

std::string ErrnoText(int err) { return std::error_code(err, std::generic_category()).message(); }

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { Close(); }
    int Get() const { return fd_; }
    void Reset(int fd)
    {
        Close();
        fd_ = fd;
    }
    // Closes now; false when the close reports an error (of a late write).
    bool Close()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(std::size_t(n));
    }
    return true;
}

// Gives an unnamed file (O_TMPFILE) the name temp, replacing a leftover.
bool NameUnnamed(int fd, const std::string& temp)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST || ::unlink(temp.c_str()) != 0)
            return false;
    }
    return false;
}

}  // namespace

TReadOutcome ReadRegularFile(const std::string& fileName, std::size_t maxBytes, std::string& data, bool& complete)
{
    data.clear();
    complete = false;
    Descriptor fd(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.Get() < 0)
        return errno == ENOENT ? TReadOutcome::Missing : TReadOutcome::Refused;
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))
        return TReadOutcome::Refused;
    data.resize(maxBytes < std::size_t(st.st_size) ? maxBytes + 1 : std::size_t(st.st_size) + 1);
    std::size_t got = 0;
    // One byte more than wanted tells whether there is more; the size from
    // fstat is only a hint, as the file may grow while we read.
    while (got < data.size()) {
        const ssize_t n = ::read(fd.Get(), data.data() + got, data.size() - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            data.clear();
            return TReadOutcome::Refused;
        }
        if (n == 0)
            break;
        got += std::size_t(n);
        if (got == data.size() && got <= maxBytes)
            data.resize(std::min(maxBytes + 1, data.size() * 2));
    }
    complete = got <= maxBytes;
    data.resize(std::min(got, maxBytes));
    return TReadOutcome::Read;
}

std::string ReplaceFileContents(const std::string& fileName, std::string_view data)
{
    if (fileName.empty() || fileName.back() == '/')
        return "no file name";

    // Where the data goes: the file itself, or the one a link leads to.
    std::string target = fileName;
    struct stat st {};
    bool exists = false;
    if (::lstat(fileName.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            char* real = ::realpath(fileName.c_str(), nullptr);
            if (!real)
                return "the link leads to no file (" + ErrnoText(errno) + ")";
            target = real;
            std::free(real);
            if (::stat(target.c_str(), &st) != 0)
                return "cannot reach the file (" + ErrnoText(errno) + ")";
        }
        exists = true;
        if (S_ISDIR(st.st_mode))
            return "is a folder, not a file";
        if (!S_ISREG(st.st_mode))
            return "not a regular file";
        // No write permission at all is read-only even to the superuser.
        if ((st.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
            return "the file is read-only";
    } else if (errno != ENOENT) {
        return "cannot reach the file (" + ErrnoText(errno) + ")";
    }

    const std::size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string temp = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + "." + base +
                             ".tilvo-new";

    // Fills fd with the data and the old file's attributes, flushed to disk.
    auto fill = [&](int fd) -> int {
        if (!WriteAll(fd, data))
            return errno;
        if (exists) {
            // Changing the owner clears set-user-ID bits, so the mode comes
            // after it; without the old owner they are not given back.
            const bool owner = ::fchown(fd, st.st_uid, st.st_gid) == 0;
            if (::fchmod(fd, st.st_mode & (owner ? 07777 : 0777)) != 0)
                return errno;
        }
        if (::fsync(fd) != 0 && errno != EINVAL)
            return errno;
        return 0;
    };

    Descriptor fd(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    bool named = false;
    if (fd.Get() >= 0) {
        if (const int err = fill(fd.Get()))
            return "cannot write the file (" + ErrnoText(err) + ")";
        named = NameUnnamed(fd.Get(), temp);
        if (!fd.Close() && named) {
            ::unlink(temp.c_str());
            return "cannot write the file (" + ErrnoText(errno) + ")";
        }
    }
    if (!named) {
        // No unnamed files here (or no way to name one): a named one.
        if (::unlink(temp.c_str()) != 0 && errno != ENOENT)
            return "cannot create the file (" + ErrnoText(errno) + ")";
        fd.Reset(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0666));
        if (fd.Get() < 0)
            return "cannot create the file (" + ErrnoText(errno) + ")";
        int err = fill(fd.Get());
        if (!fd.Close() && err == 0)
            err = errno;
        if (err != 0) {
            ::unlink(temp.c_str());
            return "cannot write the file (" + ErrnoText(err) + ")";
        }
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return "cannot write the file (" + ErrnoText(err) + ")";
    }
    // The new name on disk too.
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0)
        ::fsync(dir.Get());
    return {};
}
