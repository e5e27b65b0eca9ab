#pragma once

// The program's main function: identity, font, language, the self-check and screenshot switches, the
// main window and the event loop. Takes UTF-8 arguments and returns the process exit code.
int runOllavanQuick(int argc, char **argv);
