// Keys pressed at chosen demo times: a seam for tests of what the program does with its keys
// at a known moment, with no keyboard and no display. Deliberately not an option of the
// command line and not in --help: it exists for the timeline tests only.
//
//     QUORVANE_CAPTURE_KEYS="F1@40000,Escape@95000"
//
// Each entry is a key name and a demo time in milliseconds. The key goes down (reported to the
// core as a keyboard would) before the first frame at or after that time is rendered, and comes
// up before the frame after it, so the program sees it held for one frame, as a short press on
// a keyboard is.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "capture/capture.h"

namespace {

constexpr int kMaxKeys = 64;

struct KeyName {
    const char* name;
    BYTE vk;
};

constexpr KeyName kKeyNames[] = {{"F1", VK_F1}, {"Escape", VK_ESCAPE}};

enum class Stage { Waiting, Down, Done };

struct ScriptedKey {
    BYTE vk;
    std::uint32_t ms;
    Stage stage;
};

struct Script {
    ScriptedKey keys[kMaxKeys];
    int count = 0;
};

Script gScript;

bool ParseEntry(const char* entry, std::size_t length, ScriptedKey* key) {
    const char* at = static_cast<const char*>(std::memchr(entry, '@', length));
    if (at == nullptr) return false;
    std::size_t nameLength = static_cast<std::size_t>(at - entry);
    const KeyName* found = nullptr;
    for (const KeyName& name : kKeyNames) {
        if (std::strlen(name.name) == nameLength &&
            std::strncmp(name.name, entry, nameLength) == 0) {
            found = &name;
        }
    }
    if (found == nullptr) return false;
    char digits[16] = {};
    std::size_t digitCount = length - nameLength - 1;
    if (digitCount == 0 || digitCount >= sizeof digits) return false;
    std::memcpy(digits, at + 1, digitCount);
    errno = 0;
    char* end = nullptr;
    unsigned long ms = std::strtoul(digits, &end, 10);
    if (errno != 0 || *end != '\0' || digits[0] == '-' || ms > 0xFFFFFFFFul) return false;
    *key = {found->vk, static_cast<std::uint32_t>(ms), Stage::Waiting};
    return true;
}

}  // namespace

namespace capture {

bool LoadScriptedKeys(char* why, std::size_t whySize) {
    const char* script = std::getenv("QUORVANE_CAPTURE_KEYS");
    if (script == nullptr || *script == '\0') return true;
    const char* entry = script;
    for (;;) {
        const char* comma = std::strchr(entry, ',');
        std::size_t length =
            comma != nullptr ? static_cast<std::size_t>(comma - entry) : std::strlen(entry);
        if (gScript.count == kMaxKeys || !ParseEntry(entry, length, &gScript.keys[gScript.count])) {
            std::snprintf(why, whySize,
                          "QUORVANE_CAPTURE_KEYS takes up to %d entries KEY@MS (F1 or Escape, "
                          "demo milliseconds), not \"%s\"",
                          kMaxKeys, script);
            return false;
        }
        ++gScript.count;
        if (comma == nullptr) return true;
        entry = comma + 1;
    }
}

void PressDueKeys(standin::Surface* surface, std::uint32_t nextFrameMs) {
    for (int i = 0; i < gScript.count; ++i) {
        ScriptedKey& key = gScript.keys[i];
        if (key.stage == Stage::Down) {
            standin::OnKey(surface, key.vk, false, false, false);
            key.stage = Stage::Done;
        } else if (key.stage == Stage::Waiting && key.ms <= nextFrameMs) {
            standin::OnKey(surface, key.vk, true, false, false);
            key.stage = Stage::Down;
        }
    }
}

}  // namespace capture
