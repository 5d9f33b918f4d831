#include "toolkit/system/Sound.h"

#include <canberra.h>
#include <dlfcn.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>

namespace {

BeepRecorder* activeRecorder = nullptr;

// ALSA reports a missing sound card on stderr from inside libcanberra's
// backend. A machine without sound is normal for us, so its error handler is
// replaced by one that says nothing. The library is looked up at run time:
// when it is not installed there is nothing to silence.
using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int err, const char* fmt, ...);

void QuietAlsaError(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsa()
{
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!alsa)
        return;
    using SetHandler = int (*)(AlsaErrorHandler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
        set(QuietAlsaError);
    // The library stays loaded: the handler must outlive every later use.
}

// One background thread talks to the sound system, so that neither
// connecting to a slow or missing sound server nor opening a busy device
// ever holds up the caller. Beeps beyond a few pending ones are dropped.
class SoundPlayer {
public:
    void Post(const char* eventId)
    {
        std::lock_guard lock(mutex_);
        if (!started_) {
            started_ = true;
            try {
                std::thread([this] { Run(); }).detach();
            } catch (const std::system_error&) {
                broken_ = true;
            }
        }
        if (broken_ || pending_.size() >= MaxPending)
            return;
        pending_.push_back(eventId);
        wake_.notify_one();
    }

private:
    static constexpr std::size_t MaxPending = 4;

    void Run()
    {
        ca_context* context = Open();
        for (;;) {
            const char* id;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return !pending_.empty(); });
                id = pending_.front();
                pending_.pop_front();
            }
            if (!context)
                continue;
            int r = ca_context_play(context, 0, CA_PROP_EVENT_ID, id, CA_PROP_EVENT_DESCRIPTION, "Aviso", nullptr);
            // Not every theme has every dialog sound; a plain bell is better
            // than nothing.
            if (r == CA_ERROR_NOTFOUND && std::string_view(id) != "bell")
                ca_context_play(context, 0, CA_PROP_EVENT_ID, "bell", nullptr);
        }
    }

    static ca_context* Open()
    {
        SilenceAlsa();
        ca_context* context = nullptr;
        if (ca_context_create(&context) != CA_SUCCESS)
            return nullptr;
        ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Cronómetro", CA_PROP_APPLICATION_ID,
                                "tilvo", nullptr);
        if (ca_context_open(context) != CA_SUCCESS) {
            // No usable backend: stay silent from now on.
            ca_context_destroy(context);
            return nullptr;
        }
        return context;
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<const char*> pending_;
    bool started_ = false;
    bool broken_ = false;
};

SoundPlayer& Player()
{
    // Never destroyed: the detached thread may still be waiting on it while
    // the process exits.
    static SoundPlayer* player = new SoundPlayer;
    return *player;
}

}  // namespace

const char* BeepEventId(unsigned type)
{
    switch (type) {
    case MB_ICONHAND: return "dialog-error";
    case MB_ICONQUESTION: return "dialog-question";
    case MB_ICONEXCLAMATION: return "dialog-warning";
    default: return "bell";
    }
}

void MessageBeep(unsigned type)
{
    if (activeRecorder) {
        activeRecorder->beeps_.push_back(type);
        return;
    }
    Player().Post(BeepEventId(type));
}

BeepRecorder::BeepRecorder() : previous_(activeRecorder)
{
    activeRecorder = this;
}

BeepRecorder::~BeepRecorder()
{
    activeRecorder = previous_;
}
