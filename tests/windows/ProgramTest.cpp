#include "windows/Program.h"
#include "windows/DisplayProbe.h"

#include "windows/Tilvo2u.h"

#include <QApplication>
#include <QColorDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <thread>

namespace {

QStringList Textos(const QWidget& w)
{
    QStringList textos;
    for (const QPushButton* b : w.findChildren<QPushButton*>())
        textos << b->text();
    for (const QLabel* l : w.findChildren<QLabel*>())
        textos << l->text();
    return textos;
}

}  // namespace

TEST(TraduccionQt, StandardDialogsSpeakSpanishAndMissingFilesLeaveEnglish)
{
    // A folder without translations: nothing installed, Qt's English stays.
    QTemporaryDir vacia;
    EXPECT_FALSE(CargarTraduccionQt(vacia.path()));
    EXPECT_EQ(QColorDialog().windowTitle(), QString("Select Color"));

    ASSERT_TRUE(CargarTraduccionQt()) << "Qt's Spanish translation is not installed";
    {
        QColorDialog elegir;
        EXPECT_EQ(elegir.windowTitle(), QString("Selecciona color"));
        const QStringList textos = Textos(elegir);
        for (const char* texto : {"Aceptar", "Cancelar", "&Añadir a los colores personalizados",
                                  "Tomar un color de la &pantalla", "Colores &básicos"})
            EXPECT_TRUE(textos.contains(QString::fromUtf8(texto))) << texto << " in " << textos.join(" | ").toStdString();

        // The settings dialog's standard buttons take the same captions.
        TTilvo2F ajustes;
        EXPECT_EQ(ajustes.findChild<QPushButton*>("BitBtn1")->text(), QString("Aceptar"));
        EXPECT_EQ(ajustes.findChild<QPushButton*>("BitBtn2")->text(), QString("Cancelar"));
    }

    // The other tests of this program see Qt as it was.
    qDeleteAll(qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly));
}

namespace {

// A local X server that lives only in the abstract socket namespace and
// answers one client with `reply` after reading its setup request (or
// closes the connection at once when reply is empty).
class FakeXServer {
public:
    FakeXServer(unsigned number, std::string reply) : reply_(std::move(reply))
    {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + 1, path.data(), path.size());
        const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + path.size());
        bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(fd_, 1) == 0;
        if (bound_)
            thread_ = std::thread([this] { Serve(); });
    }
    ~FakeXServer()
    {
        if (thread_.joinable())
            thread_.join();
        ::close(fd_);
    }
    bool Bound() const { return bound_; }

private:
    void Serve()
    {
        const int client = ::accept(fd_, nullptr, nullptr);
        if (client < 0)
            return;
        if (!reply_.empty()) {
            char request[12];
            std::size_t got = 0;
            for (ssize_t n; got < sizeof request && (n = ::read(client, request + got, sizeof request - got)) > 0;)
                got += std::size_t(n);
            [[maybe_unused]] const ssize_t sent = ::write(client, reply_.data(), reply_.size());
        }
        ::close(client);
    }

    int fd_;
    bool bound_ = false;
    std::string reply_;
    std::thread thread_;
};

// A server's refusal: status 0, the reason and its length, padded to four
// bytes.
std::string Refusal(const std::string& reason)
{
    std::string padded = reason;
    padded.resize((reason.size() + 3) / 4 * 4, '\0');
    const std::size_t units = padded.size() / 4;
    return std::string{'\0', char(reason.size()), 11, 0, 0, 0, char(units & 0xFF), char(units >> 8)} + padded;
}

}  // namespace

TEST(DisplayProbe, SaysWhyADisplayCannotBeUsed)
{
    // Nothing there, locally and over the network.
    EXPECT_EQ(DisplayConnectionProblem(":4997"), "no such file or directory");
    EXPECT_EQ(DisplayConnectionProblem("127.0.0.1:4996.0"), "connection refused");
    EXPECT_EQ(DisplayConnectionProblem("127.0.0.1"), "not a display name");
    EXPECT_EQ(DisplayConnectionProblem(":x"), "not a display name");

    // A server that refuses, in its own words; one that closes the
    // connection; one that lets the client in.
    {
        FakeXServer server(4995, Refusal("Authorization required, but no authorization protocol specified\n"));
        ASSERT_TRUE(server.Bound());
        EXPECT_EQ(DisplayConnectionProblem(":4995"), "Authorization required, but no authorization protocol specified");
    }
    {
        FakeXServer server(4995, "");
        ASSERT_TRUE(server.Bound());
        EXPECT_EQ(DisplayConnectionProblem("unix:4995.0"), "the server closed the connection");
    }
    {
        FakeXServer server(4995, std::string{1, 0, 11, 0, 0, 0, 0, 0});
        ASSERT_TRUE(server.Bound());
        EXPECT_EQ(DisplayConnectionProblem(":4995"), "");
    }
}
