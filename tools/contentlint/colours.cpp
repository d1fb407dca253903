#include "colours.h"
#include "lint.h"

#include "engine/base/folders.h"
#include "engine/render/imagedecode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <regex>

namespace fs = std::filesystem;

namespace contentlint {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLargeTextPixels = 24;  // 18 pt: "large text" needs 3:1 instead of 4.5:1
constexpr double kOutlineToGround = 3;   // an outline is a graphic edge: 3:1 sets the letters off

double Linear(double channel)
{
    const double c = channel / 255;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

std::string Format(const char* format, double value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Pad(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

// Lua comments blanked out (newlines kept, so line numbers stay).
std::string WithoutComments(const std::string& text)
{
    std::string out = text;
    char quote = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const char c = out[i];
        if (quote) {
            if (c == '\\')
                ++i;
            else if (c == quote || c == '\n')
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '-' && i + 1 < out.size() && out[i + 1] == '-') {
            for (; i < out.size() && out[i] != '\n'; ++i)
                out[i] = ' ';
        }
    }
    return out;
}

// The elements of the table whose "{" is at open, split at its top-level
// commas, and where its "}" is (npos when it never closes).
std::vector<std::string> TableElements(const std::string& text, std::size_t open, std::size_t* close)
{
    std::vector<std::string> elements(1);
    int depth = 0;
    char quote = 0;
    for (std::size_t i = open + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '(' || c == '{' || c == '[') {
            ++depth;
        } else if (c == ')' || c == ']' || (c == '}' && depth > 0)) {
            --depth;
        } else if (c == '}') {
            *close = i;
            for (std::string& e : elements) {
                const std::size_t first = e.find_first_not_of(" \t\r\n");
                const std::size_t last = e.find_last_not_of(" \t\r\n");
                e = first == std::string::npos ? std::string() : e.substr(first, last - first + 1);
            }
            return elements;
        } else if (c == ',' && depth == 0) {
            elements.emplace_back();
            continue;
        }
        elements.back() += c;
    }
    *close = std::string::npos;
    return {};
}

// The "{" of the table that encloses pos.
std::size_t EnclosingTable(const std::string& text, std::size_t pos)
{
    int depth = 0;
    for (std::size_t i = pos; i-- > 0;) {
        if (text[i] == '}')
            ++depth;
        else if (text[i] == '{' && depth-- == 0)
            return i;
    }
    return std::string::npos;
}

int LineOf(const std::string& text, std::size_t pos)
{
    return 1 + int(std::count(text.begin(), text.begin() + std::ptrdiff_t(pos), '\n'));
}

// --- Colour science ------------------------------------------------------------

using TMatrix = std::array<std::array<double, 3>, 3>;

const std::map<std::string, TMatrix>& Visions()
{
    // Machado, Oliveira and Fernandes (2009), severity 1.0, on linear RGB.
    static const std::map<std::string, TMatrix> visions = {
        {"normal", {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}},
        {"deuteranopia", {{{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413},
                           {-0.011820, 0.042940, 0.968881}}}},
        {"protanopia", {{{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216},
                         {-0.003882, -0.048116, 1.051998}}}},
        {"tritanopia", {{{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602},
                         {0.004733, 0.691367, 0.303900}}}},
    };
    return visions;
}

TLab Lab(const TRgb& colour, const TMatrix& vision)
{
    const double lin[3] = {Linear(colour[0]), Linear(colour[1]), Linear(colour[2])};
    double rgb[3];
    for (int i = 0; i < 3; ++i) {
        const std::size_t row = std::size_t(i);
        rgb[i] = std::clamp(vision[row][0] * lin[0] + vision[row][1] * lin[1] + vision[row][2] * lin[2], 0.0, 1.0);
    }
    const double x = (0.4124564 * rgb[0] + 0.3575761 * rgb[1] + 0.1804375 * rgb[2]) / 0.95047;
    const double y = 0.2126729 * rgb[0] + 0.7151522 * rgb[1] + 0.0721750 * rgb[2];
    const double z = (0.0193339 * rgb[0] + 0.1191920 * rgb[1] + 0.9503041 * rgb[2]) / 1.08883;
    auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

double Degrees(double radians) { return radians * 180 / kPi; }
double Radians(double degrees) { return degrees * kPi / 180; }

}  // namespace

double Ciede2000(const TLab& p, const TLab& q)
{
    const double c1 = std::hypot(p[1], p[2]), c2 = std::hypot(q[1], q[2]);
    const double cMean7 = std::pow((c1 + c2) / 2, 7);
    const double g = 0.5 * (1 - std::sqrt(cMean7 / (cMean7 + std::pow(25.0, 7))));
    const double a1 = (1 + g) * p[1], a2 = (1 + g) * q[1];
    const double c1p = std::hypot(a1, p[2]), c2p = std::hypot(a2, q[2]);
    auto hue = [](double b, double a) { return a == 0 && b == 0 ? 0.0 : std::fmod(Degrees(std::atan2(b, a)) + 360, 360); };
    const double h1 = hue(p[2], a1), h2 = hue(q[2], a2);
    double dh = 0;
    if (c1p * c2p != 0) {
        dh = h2 - h1;
        if (dh > 180)
            dh -= 360;
        else if (dh < -180)
            dh += 360;
    }
    const double dL = q[0] - p[0], dC = c2p - c1p;
    const double dH = 2 * std::sqrt(c1p * c2p) * std::sin(Radians(dh / 2));
    const double lMean = (p[0] + q[0]) / 2, cMeanP = (c1p + c2p) / 2;
    double hMean = h1 + h2;
    if (c1p * c2p != 0) {
        if (std::fabs(h1 - h2) <= 180)
            hMean = (h1 + h2) / 2;
        else
            hMean = h1 + h2 < 360 ? (h1 + h2 + 360) / 2 : (h1 + h2 - 360) / 2;
    }
    const double t = 1 - 0.17 * std::cos(Radians(hMean - 30)) + 0.24 * std::cos(Radians(2 * hMean)) +
                     0.32 * std::cos(Radians(3 * hMean + 6)) - 0.20 * std::cos(Radians(4 * hMean - 63));
    const double dTheta = 30 * std::exp(-std::pow((hMean - 275) / 25, 2));
    const double cMeanP7 = std::pow(cMeanP, 7);
    const double rC = 2 * std::sqrt(cMeanP7 / (cMeanP7 + std::pow(25.0, 7)));
    const double sL = 1 + 0.015 * std::pow(lMean - 50, 2) / std::sqrt(20 + std::pow(lMean - 50, 2));
    const double sC = 1 + 0.045 * cMeanP, sH = 1 + 0.015 * cMeanP * t;
    const double rT = -std::sin(Radians(2 * dTheta)) * rC;
    const double l = dL / sL, c = dC / sC, h = dH / sH;
    return std::sqrt(l * l + c * c + h * h + rT * c * h);
}

namespace {

bool ParseHex(const std::string& text, TRgb* out)
{
    static const std::regex hex("([0-9a-fA-F]{6})");
    std::smatch m;
    if (!std::regex_match(text, m, hex))
        return false;
    const unsigned long v = std::stoul(m[1].str(), nullptr, 16);
    *out = {double((v >> 16) & 0xff), double((v >> 8) & 0xff), double(v & 0xff)};
    return true;
}

std::string Hex(const TRgb& c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", int(c[0]), int(c[1]), int(c[2]));
    return text;
}

}  // namespace

std::string ResourcePath(const std::string& name)
{
    char path[qm::kPathBufferSize];
    std::FILE* file = qm::OpenResource(name.c_str(), path);
    if (!file)
        return std::string();
    std::fclose(file);
    return path;
}

TPicture LoadPicture(const std::string& name)
{
    TPicture picture;
    std::string path = ResourcePath(name);
    if (path.empty() && fs::path(name).extension().empty())
        path = ResourcePath(name + ".png");
    if (path.empty())
        return picture;
    unsigned char* pixels = nullptr;
    unsigned long unused = 0;
    int hasAlpha = 0;
    if (!EzPngLoadImage(path.c_str(), &pixels, &picture.width, &picture.height, &picture.side, &unused, &hasAlpha,
                        nullptr, nullptr, false))
        return picture;
    picture.bgra.assign(pixels, pixels + std::size_t(picture.side) * std::size_t(picture.side) * 4);
    EzPngFreeImage(pixels, nullptr);
    return picture;
}

double RelativeLuminance(const TRgb& c)
{
    return 0.2126 * Linear(c[0]) + 0.7152 * Linear(c[1]) + 0.0722 * Linear(c[2]);
}

double ContrastRatio(double a, double b)
{
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

double ColourDistance(const TRgb& a, const TRgb& b, const std::string& vision)
{
    const TMatrix& m = Visions().at(vision);
    return Ciede2000(Lab(a, m), Lab(b, m));
}

// --- Statements -----------------------------------------------------------------

void TColourRules::Add(const TContract& c)
{
    if (c.kind == "textcolours") {
        ReadColourNames(c);
        ScanScripts(c);
    } else if (c.kind == "ground") {
        ReadGround(c);
    } else if (c.kind == "contrast") {
        mContrasts.push_back(c);
    } else if (c.kind == "partycolours") {
        mParties.push_back(c);
    }
}

void TColourRules::ReadColourNames(const TContract& c)
{
    std::string text;
    if (!ReadText(ResourcePath(c.words[0]), &text)) {
        Fail(c.where, "no colour file " + c.words[0]);
        return;
    }
    text = WithoutComments(text);
    static const std::regex named(R"(\b([A-Za-z_]\w*)\s*=\s*(F?Color)\s*\(\s*([0-9.]+)\s*,\s*([0-9.]+)\s*,\s*([0-9.]+))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), named); it != std::sregex_iterator(); ++it) {
        const double scale = (*it)[2] == "FColor" ? 255 : 1;
        TRgb rgb;
        for (int i = 0; i < 3; ++i)
            rgb[std::size_t(i)] = std::clamp(std::round(std::stod((*it)[std::size_t(3 + i)]) * scale), 0.0, 255.0);
        mNames[(*it)[1]] = rgb;
    }
    if (mNames.empty())
        Fail(c.where, c.words[0] + " names no colour");
}

void TColourRules::ScanScripts(const TContract& c)
{
    mScanned = true;
    // Each script is found as the engine finds it: in the resource folder,
    // else under assets/.
    const std::set<std::string> skip(c.words.begin() + 2, c.words.end());
    std::map<std::string, fs::path> files;
    bool found = false;
    for (const std::string& folder : std::vector<std::string>{c.words[1], "assets/" + c.words[1]}) {
        if (!fs::is_directory(folder))
            continue;
        found = true;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (entry.is_regular_file() && entry.path().extension() == ".lua" && !skip.count(name))
                files.emplace(name, entry.path());
        }
    }
    if (!found)
        Fail(c.where, "no script folder " + c.words[1]);
    for (const auto& [name, path] : files) {
        std::string text;
        if (ReadText(path.string(), &text))
            ScanScript(c.words[1] + "/" + name, WithoutComments(text));
    }
}

void TColourRules::ScanScript(const std::string& file, const std::string& text)
{
    // Fonts: { "fonts/F.mvec", SIZE, COLOUR [, WIDTH, OUTLINE] }.
    static const std::regex font(R"(\{\s*"fonts/)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), font); it != std::sregex_iterator(); ++it) {
        const std::size_t open = std::size_t(it->position());
        const std::string where = file + ": line " + std::to_string(LineOf(text, open));
        std::size_t close = 0;
        const std::vector<std::string> e = TableElements(text, open, &close);
        if (e.size() < 3 || e.size() == 4) {
            Fail(where, "a font needs { face, size, colour } or { face, size, colour, width, outline }");
            continue;
        }
        UseStyle(where, std::atoi(e[1].c_str()), e[2], e.size() >= 5 ? e[4] : std::string());
    }
    // The credits' colours, with the size their table gives.
    static const std::regex key(R"(\b(fontcolor|headercolor)\s*=\s*([^,}\n]+))");
    static const std::regex fontSize(R"(\bfontsize\s*=\s*([0-9]+))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), key); it != std::sregex_iterator(); ++it) {
        const std::size_t at = std::size_t(it->position());
        const std::size_t open = EnclosingTable(text, at);
        std::size_t close = std::string::npos;
        if (open != std::string::npos)
            TableElements(text, open, &close);
        const std::string table = open == std::string::npos || close == std::string::npos
                                      ? text.substr(at, 1)
                                      : text.substr(open, close - open);
        std::smatch size;
        const int pixels = std::regex_search(table, size, fontSize) ? std::stoi(size[1]) : 16;
        std::string colour = (*it)[2];
        colour.erase(colour.find_last_not_of(" \t\r") + 1);
        UseStyle(file + ": line " + std::to_string(LineOf(text, at)), pixels, colour, std::string());
    }
}

void TColourRules::UseStyle(const std::string& where, int size, const std::string& colour, const std::string& outline)
{
    bool named = true;
    for (const std::string& name : {colour, outline})
        if (!name.empty() && !mNames.count(name)) {
            Fail(where, "text colour '" + name + "' is not one of the named text colours");
            named = false;
        }
    if (!named)
        return;
    TStyleUse& use = mStyles[outline.empty() ? colour : colour + "/" + outline];
    if (use.where.empty())
        use.where = where;
    use.smallest = std::min(use.smallest, size);
}

void TColourRules::ReadGround(const TContract& c)
{
    TGround ground;
    ground.where = c.where;
    std::vector<double> lum;
    TRgb rgb;
    if (ParseHex(c.words[1], &rgb)) {
        for (std::size_t i = 1; i < c.words.size(); ++i) {
            if (!ParseHex(c.words[i], &rgb)) {
                Fail(c.where, "'" + c.words[i] + "' is no colour (rrggbb)");
                return;
            }
            lum.push_back(RelativeLuminance(rgb));
        }
    } else {
        if (c.words.size() != 6) {
            Fail(c.where, "a ground is colours (rrggbb...) or IMAGE X Y W H");
            return;
        }
        const TPicture picture = LoadPicture(c.words[1]);
        if (picture.bgra.empty()) {
            Fail(c.where, "no picture " + c.words[1]);
            return;
        }
        const int x = std::atoi(c.words[2].c_str()), y = std::atoi(c.words[3].c_str());
        const int w = std::atoi(c.words[4].c_str()), h = std::atoi(c.words[5].c_str());
        for (int py = std::max(0, y); py < std::min(picture.height, y + h); ++py)
            for (int px = std::max(0, x); px < std::min(picture.width, x + w); ++px) {
                const unsigned char* p = &picture.bgra[(std::size_t(py) * std::size_t(picture.side) + std::size_t(px)) * 4];
                if (p[3] == 255)
                    lum.push_back(RelativeLuminance({double(p[2]), double(p[1]), double(p[0])}));
            }
        if (lum.empty()) {
            Fail(c.where, c.words[1] + " has no opaque pixel in " + c.words[2] + " " + c.words[3] + " " + c.words[4] +
                              " " + c.words[5]);
            return;
        }
    }
    std::sort(lum.begin(), lum.end());
    const std::size_t edge = lum.size() / 100;
    ground.darkest = lum[edge];
    ground.lightest = lum[lum.size() - 1 - edge];
    mGrounds[c.words[0]] = ground;
}

void TColourRules::Finish()
{
    if (!mContrasts.empty()) {
        mReport.table.push_back("text colours: letter/ground 4.5:1 wanted (3:1 from 24 px); outlined text wants that "
                                "between letter and outline, and outline/ground 3:1 unless the letters alone pass");
        mReport.table.push_back("  " + Pad("style", 22) + Pad("px", 5) + Pad("ground", 16) +
                                "letter/ground  letter/outline  outline/ground  result");
    }
    for (const TContract& c : mContrasts)
        CheckContrast(c);
    if (mScanned)
        for (const auto& [style, use] : mStyles)
            if (!mChecked.count(style))
                Fail(use.where, "text in " + style + " has no contrast statement saying what it is drawn on");
    for (const TContract& c : mParties)
        CheckPartyColours(c);
}

void TColourRules::CheckContrast(const TContract& c)
{
    ++mReport.checks;
    const std::string& style = c.words[0];
    mChecked.insert(style);
    auto use = mStyles.find(style);
    if (mScanned && use == mStyles.end()) {
        Fail(c.where, "no script uses text in " + style);
        return;
    }
    const std::size_t slash = style.find('/');
    const std::string letterName = style.substr(0, slash);
    const std::string outlineName = slash == std::string::npos ? std::string() : style.substr(slash + 1);
    for (const std::string& name : {letterName, outlineName})
        if (!name.empty() && !mNames.count(name)) {
            Fail(c.where, "no text colour " + name);
            return;
        }
    const int size = use == mStyles.end() ? 16 : use->second.smallest;
    const double need = size >= kLargeTextPixels ? 3 : 4.5;
    const double letter = RelativeLuminance(mNames[letterName]);
    const double outline = outlineName.empty() ? 0 : RelativeLuminance(mNames[outlineName]);
    // The worst place on a ground is its end nearest the colour; a colour
    // inside the ground's range meets pixels of its own lightness.
    auto worst = [](double l, const TGround& g) {
        if (l >= g.darkest && l <= g.lightest)
            return 1.0;
        return std::min(ContrastRatio(l, g.darkest), ContrastRatio(l, g.lightest));
    };
    for (std::size_t i = 1; i < c.words.size(); ++i) {
        auto ground = mGrounds.find(c.words[i]);
        if (ground == mGrounds.end()) {
            Fail(c.where, "no ground " + c.words[i]);
            continue;
        }
        const double onGround = worst(letter, ground->second);
        bool ok = true;
        std::string row = "  " + Pad(style, 22) + Pad(std::to_string(size), 5) + Pad(c.words[i], 16) +
                          Pad(Format("%.2f", onGround), 15);
        if (outlineName.empty()) {
            ok = onGround >= need;
            row += Pad("-", 16) + Pad("-", 16);
        } else {
            const double edge = ContrastRatio(letter, outline);
            const double outlineOnGround = worst(outline, ground->second);
            // The outline sets the letters off the ground, unless they stand out by themselves.
            ok = edge >= need && (outlineOnGround >= kOutlineToGround || onGround >= need);
            row += Pad(Format("%.2f", edge), 16) + Pad(Format("%.2f", outlineOnGround), 16);
        }
        row += ok ? "ok" : "TOO LOW";
        mReport.table.push_back(row);
        if (!ok)
            Fail(c.where, style + " on " + c.words[i] + " reads too faintly (" + row.substr(2) + ")");
    }
}

void TColourRules::CheckPartyColours(const TContract& c)
{
    char* end = nullptr;
    const double minimum = std::strtod(c.words[0].c_str(), &end);
    if (end == c.words[0].c_str() || *end) {
        Fail(c.where, "partycolours needs a number first, not '" + c.words[0] + "'");
        return;
    }
    const TRgb outline = {0x3b, 0x2a, 0x33};
    std::vector<std::pair<std::string, TRgb>> colours;
    for (std::size_t i = 1; i < c.words.size(); ++i) {
        ++mReport.checks;
        const TPicture picture = LoadPicture(c.words[i]);
        if (picture.bgra.empty()) {
            Fail(c.where, "no picture " + c.words[i]);
            continue;
        }
        std::map<unsigned, int> counts;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                const unsigned char* p = &picture.bgra[(std::size_t(y) * std::size_t(picture.side) + std::size_t(x)) * 4];
                const unsigned rgb = unsigned(p[2]) << 16 | unsigned(p[1]) << 8 | p[0];
                if (p[3] == 255 && TRgb{double(p[2]), double(p[1]), double(p[0])} != outline)
                    ++counts[rgb];
            }
        if (counts.empty()) {
            Fail(c.where, c.words[i] + " has no opaque colour but the outline");
            continue;
        }
        const auto top = std::max_element(counts.begin(), counts.end(),
                                          [](const auto& a, const auto& b) { return a.second < b.second; });
        // "ui/flag_red.png" is "red" in the table.
        const std::string stem = fs::path(c.words[i]).stem().string();
        colours.push_back({stem.substr(stem.rfind('_') + 1),
                           {double(top->first >> 16), double((top->first >> 8) & 0xff), double(top->first & 0xff)}});
    }
    const std::vector<std::string> visions = {"normal", "deuteranopia", "protanopia", "tritanopia"};
    mReport.table.push_back("party colours: CIEDE2000 between each pair as seen with each vision (at least " +
                            Format("%g", minimum) + " wanted but for tritanopia, shown for reading)");
    std::string head = "  " + Pad("pair", 36);
    for (const std::string& v : visions)
        head += Pad(v, 14);
    mReport.table.push_back(head);
    std::map<std::string, double> smallest;
    for (std::size_t a = 0; a < colours.size(); ++a)
        for (std::size_t b = a + 1; b < colours.size(); ++b) {
            std::string row = "  " + Pad(colours[a].first + " " + Hex(colours[a].second) + " / " + colours[b].first +
                                             " " + Hex(colours[b].second),
                                         36);
            for (const std::string& v : visions) {
                const double d = ColourDistance(colours[a].second, colours[b].second, v);
                row += Pad(Format("%.1f", d), 14);
                smallest[v] = smallest.count(v) ? std::min(smallest[v], d) : d;
                if (v != "tritanopia" && d < minimum)
                    Fail(c.where, colours[a].first + " and " + colours[b].first + " are only " + Format("%.1f", d) +
                                      " apart with " + v + " (" + Format("%g", minimum) + " wanted)");
            }
            mReport.table.push_back(row);
        }
    std::string row = "  " + Pad("smallest", 36);
    for (const std::string& v : visions)
        row += Pad(smallest.count(v) ? Format("%.1f", smallest[v]) : std::string("-"), 14);
    mReport.table.push_back(row);
}

}  // namespace contentlint
