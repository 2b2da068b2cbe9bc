// The command line that draws a session's word again, as `s` prints it and the page shows it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "session.h"

// The command line that draws the session's word again: the program, the options that differ
// from their defaults (grammar, generations, turtle, symbols, window, seed, view, style) and the
// presses, each word quoted for a POSIX shell where it needs it. The word's limit is left out: a
// word made under a limit replays under any larger one. A grammar file, when given, is read with
// -f in place of the grammar; with a book, it is the book's saved file, whose axiom is the word,
// read with --book and without generations or presses. With bookText, the text that the book was
// read from, the book comes from standard input: "--book -", and after the options the text as a
// here-document (hereDocument).
std::string commandLine(const Session& session, const std::string& grammarFile = "",
                        const std::string* bookText = nullptr);

// The text as a POSIX shell's here-document, to follow a command: " <<'EOF'", a line end, the
// text with a line end after it unless it ends with one, and EOF, or the first of EOF1, EOF2, ...
// that is not a line of the text; quoted, so that the shell reads every byte as it is.
std::string hereDocument(const std::string& text);

// The presses as a list writes them: indices and g, commas between.
std::string pressList(const std::vector<int32_t>& presses);

// A word quoted for a POSIX shell: as it is when it holds only characters that need no quotes,
// else between single quotes, each single quote written '\''.
std::string shellQuote(const std::string& word);
