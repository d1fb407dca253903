#include "lint.h"

#include "colours.h"
#include "contracts.h"
#include "edges.h"
#include "loudness.h"
#include "places.h"

#include "engine/base/asset.h"
#include "engine/base/folders.h"
#include "engine/base/task.h"
#include "engine/platform/headless/headlessbackend.h"
#include "engine/platform/platform.h"
#include "engine/platform/platformdata.h"
#include "engine/render/animatedtexture.h"
#include "engine/script/animation.h"
#include "engine/window/stringtable.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace contentlint {

bool ReadText(const std::string& path, std::string* text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *text = buffer.str();
    return true;
}

namespace {

// Opens like the engine: the name in the resource folder, else under assets/.
bool Exists(const std::string& name)
{
    char path[qm::kPathBufferSize];
    std::FILE* file = qm::OpenResource(name.c_str(), path);
    if (file)
        std::fclose(file);
    return file != nullptr;
}

bool HasImageExtension(const std::string& name)
{
    return name.find(".png") != std::string::npos || name.find(".jpg") != std::string::npos;
}

// A configuration file is read from its ".xml" or, failing that, its enciphered ".bin" sibling.
bool ExistsOrEnciphered(const std::string& name)
{
    if (Exists(name))
        return true;
    const std::string xml = ".xml";
    return name.size() > xml.size() && name.compare(name.size() - xml.size(), xml.size(), xml) == 0 &&
           Exists(name.substr(0, name.size() - xml.size()) + ".bin");
}

// Runs in the resource folder and returns to where it was.
class TWorkingFolder {
public:
    explicit TWorkingFolder(const std::string& folder) : mPrevious(fs::current_path()) { fs::current_path(folder); }
    ~TWorkingFolder()
    {
        std::error_code ignored;
        fs::current_path(mPrevious, ignored);
    }

private:
    fs::path mPrevious;
};

class TLinter {
public:
    TLinter(const TLintOptions& options, TLintReport* report, const std::set<std::string>& pending)
        : mOptions(options), mReport(*report), mLoudness(report), mColours(report), mPlaces(report),
          mPending(pending)
    {
    }

    void Check(const TContract& c)
    {
        ++mReport.checks;
        const std::string& first = c.words[0];
        if (c.kind == "file")
            Expect(ExistsOrEnciphered(first), c, "no file " + first);
        else if (c.kind == "sound")
            Expect(Exists(first), c, "no sound " + first);
        else if (c.kind == "texture")
            CheckTexture(c);
        else if (c.kind == "label")
            CheckLabel(c);
        else if (c.kind == "anim")
            Animation(c, first, c.words.size() > 1 ? c.words[1] : std::string());
        else if (c.kind == "ends" || c.kind == "loops")
            CheckFunctions(c);
        else if (c.kind == "anchor")
            CheckAnchors(c);
        else if (c.kind == "loudness")
            CheckLoudness(c);
        else if (c.kind == "textcolours" || c.kind == "ground" || c.kind == "contrast" || c.kind == "partycolours")
            AddColourRule(c);
        else if (c.kind == "window")
            CheckWindow(c);
        else if (c.kind == "glow" || c.kind == "whole")
            CheckEdges(c);
        else if (c.kind == "coverboxes" || c.kind == "coverpicture" || c.kind == "clear")
            AddPlace(c);
        else if (c.kind == "pending" && c.words[0].find(':') != std::string::npos)
            --mReport.checks;  // a window's child: noted where the window is checked
        else if (c.kind == "pending" && ExistsOrEnciphered(first))
            // A stale marker would hide the file from every later check.
            mReport.failures.push_back(c.where + ": " + first + " exists now: take it off the pending list");
        else if (c.kind == "pending")
            mReport.notes.push_back(c.where + ": pending: " + first);
    }

    // Every label a screen script names shows a text of the table.
    void CheckScriptLabels(const fs::path& file, const std::string& text)
    {
        for (const std::string& label : ScriptLabels(text)) {
            ++mReport.checks;
            CheckLabel(TContract{"label", {label}, file.string()});
        }
    }

    // The rules that need every statement first (the colours, the places).
    void Finish()
    {
        mColours.Finish();
        mPlaces.Finish();
    }

private:
    void Expect(bool ok, const TContract& c, const std::string& message)
    {
        if (!ok)
            mReport.failures.push_back(c.where + ": " + message);
    }

    void CheckLoudness(const TContract& c)
    {
        --mReport.checks;  // the rule counts each sound it measures
        mLoudness.Check(c);
    }

    void AddColourRule(const TContract& c)
    {
        --mReport.checks;  // the rules count what they check
        mColours.Add(c);
    }

    void AddPlace(const TContract& c)
    {
        --mReport.checks;  // each decor picture placed counts
        mPlaces.Add(c);
    }

    // Halos fade out inside their pictures; pictures drawn whole leave their border empty.
    void CheckEdges(const TContract& c)
    {
        const bool glow = c.kind == "glow";
        mReport.checks += int(c.words.size()) - 1;  // one check per picture
        for (const std::string& name : c.words) {
            const TPicture picture = LoadPicture(name);
            if (picture.bgra.empty()) {
                Expect(false, c, std::string(glow ? "no glow picture " : "no picture ") + name);
                continue;
            }
            const std::string fault = glow ? GlowEdgeFault(picture) : WholeEdgeFault(picture);
            Expect(fault.empty(), c, (glow ? "glow " : "") + name + " " + fault);
        }
    }

    void CheckTexture(const TContract& c)
    {
        const std::string& name = c.words[0];
        const std::size_t question = name.find('?');
        const std::string file = name.substr(0, question);
        const std::string options = question == std::string::npos ? std::string() : name.substr(question + 1);
        bool found = Exists(file) || (!HasImageExtension(file) && (Exists(file + ".png") || Exists(file + ".jpg")));
        Expect(found, c, "no texture " + file + " (.png or .jpg)");
        const std::size_t at = options.find("palette=");
        if (at != std::string::npos) {
            const std::string palette = options.substr(at + 8, options.find(',', at) - (at + 8));
            Expect(Exists(palette), c, "no palette " + palette);
        }
    }

    // The script's text with the text of every script it reads
    // (ReadFile("...")), where a helper may build a window for it.
    bool ScriptText(const std::string& name, std::set<std::string>* seen, std::string* text)
    {
        if (!seen->insert(name).second)
            return true;
        char path[qm::kPathBufferSize];
        std::FILE* file = qm::OpenResource(name.c_str(), path);
        if (!file)
            return false;
        std::fclose(file);
        std::string own;
        if (!ReadText(path, &own))
            return false;
        *text += own;
        static const std::regex reads(R"re(ReadFile\s*\(\s*["']([^"']+)["'])re");
        for (auto it = std::sregex_iterator(own.begin(), own.end(), reads); it != std::sregex_iterator(); ++it)
            ScriptText((*it)[1].str(), seen, text);
        return true;
    }

    static std::string RegexQuote(const std::string& s)
    {
        static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
        return std::regex_replace(s, special, R"(\$&)");
    }

    // A screen script names the window type it builds and every child the
    // code reads: renamed or dropped in the script, the lint fails.
    void CheckWindow(const TContract& c)
    {
        const std::string& script = c.words[0];
        std::set<std::string> seen;
        std::string text;
        if (!ScriptText(script, &seen, &text)) {
            Expect(false, c, "no window script " + script);
            return;
        }
        const std::string& type = c.words[1];
        // The type's constructor, or its name handed to a helper that builds it.
        if (type != "-")
            Expect(std::regex_search(text, std::regex("\\b" + RegexQuote(type) + "\\s*[{(]|[\"']" +
                                                      RegexQuote(type) + "[\"']")),
                   c, script + " builds no " + type + " window");
        for (std::size_t i = 2; i < c.words.size(); ++i) {
            const std::string& name = c.words[i];
            const std::size_t number = name.find("%d");
            // A numbered name is made in the script from its text before the number.
            const std::string pattern = number == std::string::npos
                                            ? "[\"']" + RegexQuote(name) + "[\"']"
                                            : "[\"']" + RegexQuote(name.substr(0, number));
            const bool named = std::regex_search(text, std::regex(pattern));
            const std::string key = script + ":" + name;
            if (mPending.count(key)) {
                mReport.notes.push_back(c.where + ": " + (named ? key + " is named now: take it off the pending list"
                                                               : "pending: " + key));
                continue;
            }
            Expect(named, c, script + " names no child \"" + name + "\" (the code reads it by that name)");
        }
    }

    void CheckLabel(const TContract& c)
    {
        if (!mStringsLoaded) {
            mStringsLoaded = true;
            mStringsOk = mStrings.LoadStringTable(str("strings.xml"));
            mStrings.SetQuiet(true);
        }
        if (!mStringsOk) {
            Expect(false, c, "no string table assets/strings.xml for label " + c.words[0]);
            return;
        }
        const str text = mStrings.GetString(str(c.words[0].c_str()), str(), str(), str(), str(), str());
        Expect(std::string(text.c_str()).find("#####") == std::string::npos, c,
               "label " + c.words[0] + " shows \"#####\"");
    }

    std::shared_ptr<TAnimatedTexture> Animation(const TContract& c, const std::string& file, const std::string& image)
    {
        auto texture = TAnimatedTexture::Get(str(file.c_str()), str(image.c_str()));
        Expect(texture && texture->GetAllFrames(), c, "animation " + file + " does not load");
        return texture && texture->GetAllFrames() ? texture : nullptr;
    }

    void CheckFunctions(const TContract& c)
    {
        auto texture = Animation(c, c.words[0], std::string());
        if (!texture)
            return;
        const std::string script = texture->GetScript().c_str();
        for (std::size_t i = 1; i < c.words.size(); ++i) {
            const std::string& function = c.words[i];
            const std::regex defined("function\\s+" + function + "\\s*\\(");
            if (!std::regex_search(script, defined)) {
                Expect(false, c, c.words[0] + " has no function " + function);
                continue;
            }
            if (c.kind == "ends")
                Expect(Ends(c.words[0], function), c,
                       c.words[0] + ": " + function + " does not end (still playing after " +
                           std::to_string(mOptions.animationLimitMs / 1000) + " s)");
        }
    }

    // Plays the function on the headless platform's fake clock until it stops or the limit passes.
    bool Ends(const std::string& file, const std::string& function)
    {
        MakePlatform();
        TAnimation animation;
        if (!animation.Init(str(file.c_str()), str(), str()))
            return false;
        animation.Play(str(function.c_str()), false);
        for (int elapsed = 0; elapsed < mOptions.animationLimitMs && animation.IsPlaying(); elapsed += 16) {
            mBackend->now += 16;
            mPlatform->GetTaskList()->DoAll(TTask::kEventContext);
        }
        return !animation.IsPlaying();
    }

    void MakePlatform()
    {
        if (mPlatform)
            return;
        auto backend = std::make_unique<qm::THeadlessBackend>();
        mBackend = backend.get();
        mBackend->now = 1000;
        mPlatform = std::make_unique<TPlatform>(new TPlatformData(0, nullptr, false, std::move(backend)));
    }

    void CheckAnchors(const TContract& c)
    {
        auto texture = Animation(c, c.words[0], std::string());
        if (!texture)
            return;
        const bool all = c.words[1] == "all";
        const int first = all ? 0 : std::atoi(c.words[1].c_str());
        const int last = all ? texture->GetNumFrames() - 1 : first;
        if (first >= texture->GetNumFrames()) {
            Expect(false, c, c.words[0] + " has no frame " + c.words[1]);
            return;
        }
        for (std::size_t i = 2; i < c.words.size(); ++i)
            for (int frame = first; frame <= last; ++frame)
                if (!texture->GetAnchorPoint(frame, str(c.words[i].c_str()), nullptr, nullptr)) {
                    Expect(false, c, c.words[0] + " frame " + std::to_string(frame) + " (" +
                                         texture->GetAnimation().frames[std::size_t(frame)].name.c_str() +
                                         ") has no anchor " + c.words[i]);
                    break;
                }
    }

    const TLintOptions& mOptions;
    TLintReport& mReport;
    TStringTable mStrings;
    bool mStringsLoaded = false, mStringsOk = false;
    qm::THeadlessBackend* mBackend = nullptr;
    std::unique_ptr<TPlatform> mPlatform;
    TLoudness mLoudness;
    TColourRules mColours;
    TPlaces mPlaces;
    const std::set<std::string>& mPending;  // "SCRIPT:CHILD": children whose script is being made
};

void ScanSources(const std::vector<fs::path>& folders, const std::set<std::string>& pending, TLintReport* report,
                 TLinter* linter)
{
    const std::set<std::string> kinds = {".cpp", ".h", ".lua", ".xml"};
    for (const fs::path& folder : folders) {
        if (!fs::is_directory(folder)) {
            report->failures.push_back(folder.string() + ": no such folder to scan");
            continue;
        }
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file() && kinds.count(entry.path().extension().string()))
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            std::string text;
            if (!ReadText(file.string(), &text))
                continue;
            for (const std::string& name : LiteralFileNames(text)) {
                ++report->checks;
                if (!ExistsOrEnciphered(name) && !pending.count(name))
                    report->failures.push_back(file.string() + ": names " + name + ", which does not exist");
            }
            if (file.extension() == ".lua")
                linter->CheckScriptLabels(file, text);
        }
    }
}

}  // namespace

std::vector<std::string> ScriptLabels(const std::string& text)
{
    // A literal that is only the start of a built name ("help" .. page) is not a label.
    static const std::regex label(
        "(?:\\blabel\\s*=\\s*|\\bGetString\\s*\\(\\s*)\"([A-Za-z0-9_]+)\"(?!\\s*\\.\\.)");
    std::vector<std::string> labels;
    std::set<std::string> seen;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), label); it != std::sregex_iterator(); ++it) {
        const std::string name = (*it)[1];
        if (seen.insert(name).second)
            labels.push_back(name);
    }
    return labels;
}

std::vector<std::string> LiteralFileNames(const std::string& text)
{
    static const std::regex literal("\"([^\"\\s]+\\.(png|jpg|ogg|anm|xml|pal|lua|mvec|bin))\"");
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), literal); it != std::sregex_iterator(); ++it) {
        std::string name = (*it)[1];
        // A texture name with options ("baby.png?palette=customers/x/red.pal"):
        // its picture lies beside an animation, so the palette is the file to check.
        if (const std::size_t question = name.find('?'); question != std::string::npos) {
            const std::size_t at = name.find("palette=", question);
            name = at == std::string::npos ? name.substr(0, question)
                                           : name.substr(at + 8, name.find(',', at) - (at + 8));
        }
        if (name.find('/') == std::string::npos || name.find('%') != std::string::npos ||
            name.find("://") != std::string::npos || name[0] == '@' || name[0] == '/')
            continue;
        if (seen.insert(name).second)
            names.push_back(name);
    }
    return names;
}

TLintReport Lint(const TLintOptions& options)
{
    TLintReport report;
    std::string text;
    if (!ReadText(options.contractsFile, &text)) {
        report.failures.push_back(options.contractsFile + ": cannot be read");
        return report;
    }
    std::vector<TContract> contracts =
        ReadContracts(text, fs::path(options.contractsFile).filename().string(), &report.failures);
    for (const std::string& file : options.moreContractFiles) {
        std::string more;
        if (!ReadText(file, &more)) {
            report.failures.push_back(file + ": cannot be read");
            continue;
        }
        std::vector<TContract> read = ReadContracts(more, fs::path(file).filename().string(), &report.failures);
        contracts.insert(contracts.end(), read.begin(), read.end());
    }
    std::vector<fs::path> scan;
    for (const std::string& folder : options.scanFolders)
        scan.push_back(fs::absolute(folder));
    std::set<std::string> pending;
    for (const TContract& c : contracts)
        if (c.kind == "pending")
            pending.insert(c.words[0]);

    TWorkingFolder inData(options.dataFolder);
    TAssetManager assets;
    TLinter linter(options, &report, pending);
    for (const TContract& c : contracts)
        linter.Check(c);
    linter.Finish();
    ScanSources(scan, pending, &report, &linter);
    return report;
}

}  // namespace contentlint
