// Dispatch by extension and reading whole files; files are replaced by the
// one safe writer of toolkit/system.

#include "toolkit/imageio/ImageIO.h"

#include "toolkit/imageio/Codecs.h"
#include "toolkit/system/Errors.h"
#include "toolkit/system/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>
#include <new>
#include <system_error>
#include <utility>

namespace imageio {

namespace {

std::string LowerExtension(const std::string& name)
{
    auto slash = name.find_last_of('/');
    auto dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

std::string ErrnoText(int err) { return std::error_code(err, std::generic_category()).message(); }

// Anything larger cannot hold a picture we would accept.
constexpr std::int64_t MaxFileSize = std::int64_t(1) << 30;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int Get() const { return fd_; }

private:
    int fd_;
};

Buffer ReadWholeFile(const std::string& fileName)
{
    // Non-blocking so that a FIFO cannot hang the open; it is refused below.
    FileDescriptor fd(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.Get() < 0) {
        int err = errno;
        if (err == ENOENT || err == ENOTDIR)
            throw DecodeError("file not found");
        throw DecodeError("cannot open the file (" + ErrnoText(err) + ")");
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0)
        throw DecodeError("cannot open the file (" + ErrnoText(errno) + ")");
    if (S_ISDIR(st.st_mode))
        throw DecodeError("is a folder, not a file");
    if (!S_ISREG(st.st_mode))
        throw DecodeError("not a regular file");
    if (st.st_size > MaxFileSize)
        throw DecodeError("file too large");
    if (st.st_size == 0)
        throw DecodeError("empty file");

    Buffer data(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < data.size()) {
        ssize_t n = ::read(fd.Get(), data.data() + got, data.size() - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw DecodeError("cannot read the file (" + ErrnoText(errno) + ")");
        }
        if (n == 0)
            break;  // shrank while we read: what is there is all there is
        got += static_cast<std::size_t>(n);
    }
    data.resize(got);
    if (data.empty())
        throw DecodeError("empty file");
    return data;
}

bool IsMetafile(const std::string& extension)
{
    std::string ext = LowerExtension("." + extension);
    return ext == "wmf" || ext == "emf";
}

// Raster pictures are decoded into a bitmap kept from one load to the next,
// so that loading a picture of the same size again reuses its memory rather
// than having fresh pages faulted in, which costs about as much as decoding
// a JPEG. Larger pictures are not kept. Metafiles are drawn through a
// canvas and always get a bitmap of their own.
constexpr std::int64_t KeptPixels = std::int64_t(1) << 22;

void Decode(Bytes data, const std::string& extension, TBitmap& bitmap, const std::string& what)
{
    static thread_local TBitmap kept;
    TBitmap fresh;
    TBitmap& picture = IsMetafile(extension) ? fresh : kept;
    auto trim = [&picture] {
        if (std::int64_t(picture.Width()) * picture.Height() > KeptPixels)
            picture.SetSize(0, 0);
    };
    try {
        DecodePicture(data, extension, picture, Limits{});
    } catch (const DecodeError& e) {
        trim();
        throw EInvalidGraphic(what + e.what());
    } catch (const std::bad_alloc&) {
        picture.SetSize(0, 0);
        throw EInvalidGraphic(what + "not enough memory");
    }
    // The picture is new, how the caller draws it is not.
    bool transparent = bitmap.Transparent;
    TColor transparentColor = bitmap.TransparentColor;
    try {
        // A large picture is handed over, not copied: the load's peak is
        // the old picture and the new one, not the new one twice.
        if (std::int64_t(picture.Width()) * picture.Height() > KeptPixels)
            bitmap = std::move(picture);
        else
            bitmap = picture;
    } catch (const std::bad_alloc&) {
        picture.SetSize(0, 0);
        throw EInvalidGraphic(what + "not enough memory");
    }
    trim();
    bitmap.Transparent = transparent;
    bitmap.TransparentColor = transparentColor;
}

}  // namespace

void DecodePicture(Bytes data, const std::string& extension, TBitmap& out, const Limits& limits)
{
    std::string ext = LowerExtension("." + (extension.empty() || extension[0] != '.' ? extension : extension.substr(1)));
    if (data.empty())
        throw DecodeError("empty file");
    if (ext == "jpg" || ext == "jpeg")
        DecodeJpeg(data, out, limits);
    else if (ext == "tif" || ext == "tiff")
        DecodeTiff(data, out, limits);
    else if (ext == "gif")
        DecodeGif(data, out, limits);
    else if (ext == "png")
        DecodePng(data, out, limits);
    else if (ext == "pcx")
        DecodePcx(data, out, limits);
    else if (ext == "wmf" || ext == "emf")
        DecodeMetafile(data, out, limits);
    else
        DecodeBmp(data, out, limits);
    out.SetPixelFormat(pf24bit);
}

}  // namespace imageio

using namespace imageio;

void LoadPicture(const std::string& fileName, TBitmap& bitmap)
{
    std::string what = "Cannot read picture '" + fileName + "': ";
    Buffer data;
    try {
        data = ReadWholeFile(fileName);
    } catch (const DecodeError& e) {
        throw EInvalidGraphic(what + e.what());
    } catch (const std::bad_alloc&) {
        throw EInvalidGraphic(what + "not enough memory");
    }
    Decode(data, LowerExtension(fileName), bitmap, what);
}

void LoadPictureFromMemory(const void* data, std::size_t size, const std::string& formatExtension, TBitmap& bitmap)
{
    Bytes bytes(static_cast<const std::uint8_t*>(data), data ? size : 0);
    Decode(bytes, formatExtension, bitmap, "Cannot read picture: ");
}

std::string PictureExtension(const std::string& fileName) { return LowerExtension(fileName); }

bool PictureFormatWritable(const std::string& fileName)
{
    const std::string ext = LowerExtension(fileName);
    for (const char* known : {"bmp", "jpg", "jpeg", "tif", "tiff", "gif", "png", "pcx"})
        if (ext == known)
            return true;
    return false;
}

void SavePicture(const std::string& fileName, TBitmap& bitmap)
{
    std::string what = "Cannot write picture '" + fileName + "': ";
    bitmap.SetPixelFormat(pf24bit);
    if (bitmap.Empty())
        throw EInvalidGraphic(what + "the picture is empty");
    try {
        std::string ext = LowerExtension(fileName);
        Buffer data;
        if (ext == "jpg" || ext == "jpeg")
            data = EncodeJpeg(bitmap, 50);
        else if (ext == "tif" || ext == "tiff")
            data = EncodeTiff(bitmap);
        else if (ext == "gif")
            data = EncodeGif(bitmap);
        else if (ext == "png")
            data = EncodePng(bitmap);
        else if (ext == "pcx")
            data = EncodePcx(bitmap);
        else
            data = EncodeBmp(bitmap);
        const std::string why =
            ReplaceFileContents(fileName, {reinterpret_cast<const char*>(data.data()), data.size()});
        if (!why.empty())
            throw DecodeError(why);
    } catch (const DecodeError& e) {
        throw EInvalidGraphic(what + e.what());
    } catch (const std::bad_alloc&) {
        throw EInvalidGraphic(what + "not enough memory");
    }
}
