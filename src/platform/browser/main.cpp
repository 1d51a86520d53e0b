// The browser's start-up code: main() installs the browser backend, hands over to the
// program's WinMain and tells the page how the program ended. The program's blocking loop
// runs as it is: every present and every box lets the page run until it is done (Asyncify).
#include "platform/browser/browser.h"

extern "C" {
void qv_set_default_sound(const std::int16_t* samples, int frames, int rate);
void qv_program_started();
void qv_program_ended(int status);
}

int main() {
    standin::UseBackend(&standin::browser::Table());
    standin::browser::Start();
    static standin::SoundSamples chime;
    standin::MakeDefaultSound(&chime);
    qv_set_default_sound(chime.data(), static_cast<int>(chime.size() / standin::kSoundChannels),
                         standin::kSoundRate);
    qv_program_started();
    char commandLine[] = "";
    const int status = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    qv_program_ended(status);
    return status;
}
