// contentlint --data FOLDER --contracts FILE [--contracts FILE]... [--scan FOLDER]...
// Exit status 0 when every check passes, 1 when one fails, 2 for a bad command line.
#include "lint.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    contentlint::TLintOptions options;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (hasValue && std::strcmp(argv[i], "--data") == 0)
            options.dataFolder = argv[++i];
        else if (hasValue && std::strcmp(argv[i], "--contracts") == 0)
            (options.contractsFile.empty() ? options.contractsFile : options.moreContractFiles.emplace_back()) =
                argv[++i];
        else if (hasValue && std::strcmp(argv[i], "--scan") == 0)
            options.scanFolders.push_back(argv[++i]);
        else {
            std::fprintf(stderr, "usage: contentlint --data FOLDER --contracts FILE... [--scan FOLDER]...\n");
            return 2;
        }
    }
    if (options.dataFolder.empty() || options.contractsFile.empty()) {
        std::fprintf(stderr, "usage: contentlint --data FOLDER --contracts FILE... [--scan FOLDER]...\n");
        return 2;
    }
    contentlint::TLintReport report = contentlint::Lint(options);
    for (const std::string& line : report.table)
        std::printf("%s\n", line.c_str());
    for (const std::string& note : report.notes)
        std::printf("note: %s\n", note.c_str());
    for (const std::string& failure : report.failures)
        std::printf("FAIL: %s\n", failure.c_str());
    std::printf("contentlint: %d checks, %zu failed\n", report.checks, report.failures.size());
    return report.failures.empty() ? 0 : 1;
}
