// Program-wide start-up state shared by the entry and the main window.
// In: the program's file name; an end request made before the main loop runs.
// Out: the application title; whether the main loop must end as soon as it starts.
#pragma once

#include <QString>

namespace vantrel::Application {

// The program file's name without its extension, every letter after the first in lower case.
QString titleFromProgramPath(const QString& path);

// Asks the program to end; honoured by the main loop first thing when it starts.
void Terminate();
bool Terminated();

} // namespace vantrel::Application
