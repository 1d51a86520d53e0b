// The call log the recording GL and font doubles write into: fixed storage, so recording
// never allocates and the allocation test can keep it on.
#include <cstring>

#include "gl_recorder.h"
#include "log_internal.h"

namespace {

constexpr int kCapacity = 16384;
GlCall calls[kCapacity];
int used = 0;
int dropped = 0;
bool recording = true;

}  // namespace

GLuint nextListName = 1;

namespace recorder {

void Reset() {
    used = 0;
    dropped = 0;
}

void SetRecording(bool on) { recording = on; }

std::span<const GlCall> Calls() { return {calls, static_cast<std::size_t>(used)}; }

int Dropped() { return dropped; }

}  // namespace recorder

bool Recording() { return recording; }

GlCall* Append(Gl fn) {
    if (used == kCapacity) {
        ++dropped;
        return nullptr;
    }
    GlCall* call = &calls[used++];
    call->fn = fn;
    std::memset(call->arg, 0, sizeof call->arg);
    call->textLength = 0;
    call->text[0] = '\0';
    return call;
}

GlCall* Record(Gl fn, std::initializer_list<double> args) {
    if (!recording) {
        return nullptr;
    }
    GlCall* call = Append(fn);
    if (call == nullptr) {
        return nullptr;
    }
    int i = 0;
    for (double a : args) {
        call->arg[i++] = a;
    }
    return call;
}

void RecordText(Gl fn, std::initializer_list<double> args, const char* text, int length) {
    GlCall* recorded = Record(fn, args);
    if (recorded == nullptr) {
        return;
    }
    GlCall& call = *recorded;
    const int kept = length < static_cast<int>(sizeof call.text) - 1
                         ? length
                         : static_cast<int>(sizeof call.text) - 1;
    if (text != nullptr && kept > 0) {
        std::memcpy(call.text, text, static_cast<std::size_t>(kept));
    }
    call.textLength = kept > 0 ? kept : 0;
    call.text[call.textLength] = '\0';
}
