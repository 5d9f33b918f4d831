#include "toolkit/system/Files.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <ctime>
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

// A name beside the file that no other file has yet: the prefix and eight
// random letters and digits, so that no leftover, folder or other program's
// file can stand in the way of a save for long.
std::string FreshName(const std::string& prefix)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char bytes[8];
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != ssize_t(sizeof bytes)) {
        // No entropy yet (early boot): the time and the process still differ.
        static std::uint64_t counter = 0;
        std::uint64_t mix = std::uint64_t(::getpid()) * 0x9E3779B97F4A7C15u ^ std::uint64_t(::time(nullptr)) ^ ++counter;
        for (unsigned char& b : bytes) {
            b = static_cast<unsigned char>(mix);
            mix = mix >> 8 | mix << 56;
            mix *= 0xBF58476D1CE4E5B9u;
        }
    }
    std::string name = prefix;
    for (unsigned char b : bytes)
        name += letters[b % (sizeof letters - 1)];
    return name;
}

// How often a fresh name is drawn again when it is taken after all.
constexpr int kNameAttempts = 16;

// Gives an unnamed file (O_TMPFILE) a fresh name beginning with prefix.
bool NameUnnamed(int fd, const std::string& prefix, std::string& temp)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temp = FreshName(prefix);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// Creates a new file under a fresh name beginning with prefix.
int CreateFresh(const std::string& prefix, std::string& temp)
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temp = FreshName(prefix);
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
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
    const std::string prefix = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + "." +
                               base + ".tilvo-new.";
    std::string temp;

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
        named = NameUnnamed(fd.Get(), prefix, temp);
        if (!fd.Close() && named) {
            ::unlink(temp.c_str());
            return "cannot write the file (" + ErrnoText(errno) + ")";
        }
    }
    if (!named) {
        // No unnamed files here (or no way to name one): a named one.
        fd.Reset(CreateFresh(prefix, temp));
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

std::string KeepNewestCopy(const std::string& copyName, std::string_view data, int copies)
{
    auto name = [&](int k) { return k == 0 ? copyName : copyName + "." + std::to_string(k); };
    // From the oldest on, so that each rename has a free place (or the
    // copy that gives way) to go to. A folder in the row is no copy of ours
    // and is not moved: it stops the row, and the new copy is not made.
    for (int k = copies - 2; k >= 0; --k) {
        struct stat st {};
        const std::string from = name(k);
        if (::lstat(from.c_str(), &st) != 0) {
            if (errno == ENOENT)
                continue;
            return "cannot reach an earlier copy (" + ErrnoText(errno) + ")";
        }
        if (S_ISDIR(st.st_mode))
            return "an earlier copy is a folder";
        if (::rename(from.c_str(), name(k + 1).c_str()) != 0)
            return "cannot move an earlier copy (" + ErrnoText(errno) + ")";
    }
    return ReplaceFileContents(copyName, data);
}
