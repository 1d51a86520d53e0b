// The log's writing side, for the recording entry points.
#pragma once

#include <initializer_list>

#include "gl_recorder.h"

bool Recording();
GlCall* Append(Gl fn);
// Null when recording is off or the log is full.
GlCall* Record(Gl fn, std::initializer_list<double> args);
void RecordText(Gl fn, std::initializer_list<double> args, const char* text, int length);

extern GLuint nextListName;
