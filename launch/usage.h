#pragma once

#include <cstdio>

// Questions a command-line program answers with text instead of a run.
enum class TextRequest {
  None,
  Usage,    // --help
  Version,  // --version
};

// Looks for --help and --version (also with one dash, as XScreenSaver's
// options are written) among the arguments after the program's name; the
// first one found wins. Everything else is left to the starts' own scans.
TextRequest FindTextRequest(int count, const char* const* arguments);

// Every start the program knows, for --help.
const char* UsageText();
// "gloamery" and the release, for --version.
const char* VersionText();

// Writes the whole text and flushes it. Returns the exit status: 0 when all
// of it went out, 1 when the stream refused it (a closed or full output).
int WriteText(std::FILE* stream, const char* text);
