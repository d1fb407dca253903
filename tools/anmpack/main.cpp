// anmpack: the command line of the animation packer (see README.md).
#include "tools/anmpack/anmpack.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void Usage()
{
    std::fprintf(stderr,
                 "usage: anmpack DESCRIPTION OUTPUT.anm|OUTPUT.xml...\n"
                 "       anmpack --frames FOLDER [--reg X Y] [--frame-reg X Y] OUTPUT.anm|OUTPUT.xml...\n"
                 "Writes the animation files and, for frames given as PNG files, the sheet\n"
                 "PNG next to each of them.\n");
}

bool IsOutputName(const std::string& name)
{
    std::string extension = fs::path(name).extension().string();
    return extension == ".anm" || extension == ".xml";
}

int ToInt(const char* text)
{
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (!*text || *end)
        throw std::runtime_error(std::string("not a whole number: ") + text);
    return int(value);
}

int Run(int argc, char** argv)
{
    std::string description, folder;
    bool haveReg = false, haveFrameReg = false;
    int regX = 0, regY = 0, frameRegX = 0, frameRegY = 0;
    std::vector<std::string> outputs;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--frames" && i + 1 < argc)
            folder = argv[++i];
        else if (arg == "--reg" && i + 2 < argc) {
            regX = ToInt(argv[++i]);
            regY = ToInt(argv[++i]);
            haveReg = true;
        } else if (arg == "--frame-reg" && i + 2 < argc) {
            frameRegX = ToInt(argv[++i]);
            frameRegY = ToInt(argv[++i]);
            haveFrameReg = true;
        } else if (arg == "-h" || arg == "--help") {
            Usage();
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            Usage();
            return 2;
        } else if (description.empty() && folder.empty() && !IsOutputName(arg))
            description = arg;
        else if (IsOutputName(arg))
            outputs.push_back(arg);
        else {
            std::fprintf(stderr, "anmpack: outputs end in .anm or .xml: %s\n", arg.c_str());
            return 2;
        }
    }
    if (outputs.empty() || description.empty() == folder.empty()) {
        Usage();
        return 2;
    }

    anmpack::Animation animation;
    if (!folder.empty()) {
        animation = anmpack::DescribeFolder(folder);
        for (anmpack::Frame& frame : animation.frames)
            if (haveFrameReg) {
                frame.regX = frameRegX;
                frame.regY = frameRegY;
            }
    } else {
        std::ifstream in(description, std::ios::binary);
        if (!in)
            throw std::runtime_error("cannot read " + description);
        std::ostringstream text;
        text << in.rdbuf();
        try {
            animation = anmpack::ParseDescription(text.str(), fs::path(description).parent_path().string());
        } catch (const std::runtime_error& error) {
            throw std::runtime_error(description + ": " + error.what());
        }
        if (animation.source.empty())
            animation.source = fs::path(description).filename().string();
    }
    if (haveReg) {
        animation.regX = regX;
        animation.regY = regY;
    }
    std::string stem = fs::path(outputs[0]).stem().string();
    if (animation.sequence.empty())
        animation.sequence = stem;
    if (animation.image.empty())
        animation.image = stem + ".png";

    anmpack::Image sheet = anmpack::PackSheet(animation);
    std::string error;
    std::set<fs::path> sheetFolders;
    for (const std::string& output : outputs) {
        fs::path folderOfOutput = fs::path(output).parent_path();
        if (sheet.width > 0 && sheetFolders.insert(folderOfOutput).second) {
            // Texture-name options after '?' are not part of the file name.
            std::string file = animation.image.substr(0, animation.image.find('?'));
            fs::path sheetPath = folderOfOutput / file;
            if (sheetPath.has_parent_path())
                fs::create_directories(sheetPath.parent_path());
            if (!anmpack::WritePng(sheetPath.string(), sheet, &error))
                throw std::runtime_error(error);
        }
        std::string bytes;
        if (fs::path(output).extension() == ".anm") {
            std::vector<std::uint8_t> anm = anmpack::EncodeAnm(animation);
            bytes.assign(anm.begin(), anm.end());
        } else {
            bytes = anmpack::EncodeXml(animation);
        }
        if (!anmpack::WriteFile(output, bytes, &error))
            throw std::runtime_error(error);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "anmpack: %s\n", error.what());
        return 1;
    }
}
