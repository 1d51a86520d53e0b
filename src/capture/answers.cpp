// The capture's boxes: nothing is shown, since nobody is there to answer.
//
// A Yes/No box is a question, answered with the capture's --answer. Any other box tells of a
// failure: it is written to stderr as one line and answered OK, and the capture will fail, since
// a video of a program that met an error is not the video that was asked for.
#include <cstdio>

#include "capture/capture.h"

namespace {

struct Answers {
    bool yes = false;
    bool errorShown = false;
};

Answers gAnswers;

// Keeps the report on one line whatever the box's text holds.
void PrintOneLine(const char* text) {
    for (const char* c = text; *c != '\0'; ++c) {
        std::fputc(*c == '\n' || *c == '\r' ? ' ' : *c, stderr);
    }
}

}  // namespace

namespace capture {

void SetAnswer(bool yes) { gAnswers.yes = yes; }

bool ProgramReportedError() { return gAnswers.errorShown; }

int ShowBox(const char* caption, const char* text, standin::BoxButtons buttons, standin::BoxIcon) {
    if (buttons == standin::BoxButtons::YesNo) return gAnswers.yes ? IDYES : IDNO;
    std::fputs("quorvane-capture: the program reported: ", stderr);
    PrintOneLine(caption);
    std::fputs(": ", stderr);
    PrintOneLine(text);
    std::fputc('\n', stderr);
    gAnswers.errorShown = true;
    return IDOK;
}

}  // namespace capture
