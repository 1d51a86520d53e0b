// Reading a recorded frame: finding calls and the texts they drew.
#pragma once

#include <string>
#include <vector>

#include "gl_recorder.h"

using Trace = std::vector<GlCall>;

inline Trace TakeTrace() {
    const auto calls = recorder::Calls();
    return Trace(calls.begin(), calls.end());
}

inline float F(double recorded) { return static_cast<float>(recorded); }

// Index of the first call of fn at or after from; -1 if none.
inline int Find(const Trace& t, Gl fn, int from = 0) {
    for (int i = from; i < static_cast<int>(t.size()); ++i) {
        if (t[i].fn == fn) {
            return i;
        }
    }
    return -1;
}

inline int Count(const Trace& t, Gl fn) {
    int n = 0;
    for (const GlCall& c : t) {
        n += c.fn == fn ? 1 : 0;
    }
    return n;
}

// Index of the first call of fn whose leading arguments equal the given floats.
inline int FindWith(const Trace& t, Gl fn, std::vector<float> args, int from = 0) {
    for (int i = from; i < static_cast<int>(t.size()); ++i) {
        if (t[i].fn != fn) {
            continue;
        }
        bool same = true;
        for (std::size_t a = 0; a < args.size(); ++a) {
            same = same && F(t[i].arg[a]) == args[a];
        }
        if (same) {
            return i;
        }
    }
    return -1;
}

inline std::vector<std::string> Texts(const Trace& t) {
    std::vector<std::string> texts;
    for (const GlCall& c : t) {
        if (c.fn == Gl::CallLists) {
            texts.emplace_back(c.text, static_cast<std::size_t>(c.textLength));
        }
    }
    return texts;
}

inline int FindText(const Trace& t, const std::string& text) {
    for (int i = 0; i < static_cast<int>(t.size()); ++i) {
        if (t[i].fn == Gl::CallLists && std::string(t[i].text, t[i].textLength) == text) {
            return i;
        }
    }
    return -1;
}
