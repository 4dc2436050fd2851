// SPDX-License-Identifier: GPL-3.0-or-later
// Runs lumaset-cli command lines made of random words (one per input line)
// on a small blank picture: --do texts with KEY=VALUE pairs, selection shapes,
// colours and numbers. Words that would write files or make large pictures
// are left out; everything else goes through the real parser and commands.
#include "cli/cli_steps.h"
#include "fuzz_support.h"

#include <cstdlib>

namespace {

// Options that save, read recipe files, print listings or choose the
// pictures: the target supplies the picture itself and writes nothing but
// undo backups.
bool leftOut(const QString& word) {
    static const QStringList words = {
        "--save",    "-o",     "--new",  "--backup-dir",  "--list",   "--help", "-h",
        "--version", "--info", "--time", "--save-recipe", "--recipe", "--each"};
    return words.contains(word);
}

// New and Resize make pictures of any size asked for.
bool makesLargePicture(const QString& step) {
    const CommandDef* command = FindCommandByName(step.section(':', 0, 0));
    return command && (command->id == 57600 || command->id == 32857);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzSetUp();
    QStringList words =
        QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)).split('\n');
    // A final newline ends the last line; it does not start an empty word.
    if (!words.isEmpty() && words.last().isEmpty()) words.removeLast();
    QStringList args = {"--new", "7x5", "--backup-dir", FuzzScratchFolder() + "/backups"};
    for (int i = 0; i < words.size(); ++i) {
        if (leftOut(words[i])) continue;
        if (words[i] == "--do" && i + 1 < words.size() && makesLargePicture(words[i + 1])) {
            ++i;
            continue;
        }
        args << words[i];
    }
    const int status = RunCommandLine(args);
    if (status < ExitDone || status > ExitRefused) std::abort();
    return 0;
}
