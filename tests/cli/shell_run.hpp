#pragma once

// Runs a command line through the shell as a user would, and keeps what it printed.

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "temp_folder.hpp"

struct Outcome {
    int status;       // the exit status; -1 when the command did not exit normally
    std::string out;  // stdout, with stderr unless kept apart
    std::string err;  // stderr, when kept apart
};

inline Outcome runShell(const std::string& command, bool keepStderrApart = false) {
    TempFolder errFolder;
    const std::string errFile = (errFolder / "stderr").string();
    const std::string line = command + (keepStderrApart ? " 2> '" + errFile + "'" : " 2>&1");
    Outcome r{-1, {}, {}};
    FILE* pipe = ::popen(line.c_str(), "r");
    if (!pipe) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
    const int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (keepStderrApart) {
        std::ifstream in(errFile, std::ios::binary);
        r.err.assign(std::istreambuf_iterator<char>(in), {});
    }
    return r;
}

// zelvanor-cli with the given arguments.
inline Outcome runCli(const std::string& args, bool keepStderrApart = false) {
    return runShell(std::string(ZELVANOR_CLI) + " " + args, keepStderrApart);
}
