#include "toolkit/skin/SkinLoader.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/Bytes.h"

namespace veltrane {
namespace {

constexpr Rgb kWhite = MakeRgb(255, 255, 255);
constexpr int kMdiColumns = 12;
constexpr int kMdiColumnsPerButton = 4;
constexpr int kMdiButtonState = 100;

// Reads one skin from an opened package and its description.
class SkinBuilder {
public:
    SkinBuilder(const TSkinReader& reader, const TSkinIni& ini, const SystemColours& system, SkinModel& model)
        : reader_(reader), ini_(ini), system_(system), model_(model) {}

    // False when a value lies beyond the model's limits; Error() names the first.
    bool Build() {
        model_.skinName = ini_.ReadString("TitlebarSkin", "SkinName", "");
        ReadFrameEdges();
        ReadColours();
        ReadCaptionButtons();
        ReadPushButtons();
        ReadTitle();
        ReadProgress();
        model_.progressChunk = ReadImageSection("Progress.Chunk");
        ReadMenuBar();
        ReadImageSections();
        SetFixedImageCounts();
        DeriveValues();
        return error_.empty();
    }

    const std::string& Error() const { return error_; }

private:
    int Int(std::string_view section, std::string_view key, int defaultValue) const {
        return ini_.ReadInteger(section, key, defaultValue);
    }

    // A value that positions or sizes are computed from: one beyond [low, high] fails the load.
    int Ranged(std::string_view section, std::string_view key, int defaultValue, int low, int high) {
        const int value = Int(section, key, defaultValue);
        if (value >= low && value <= high)
            return value;
        if (error_.empty()) {
            error_.append("[").append(section).append("] ").append(key).append("=");
            error_.append(std::to_string(value)).append(" lies outside ").append(std::to_string(low));
            error_.append(" to ").append(std::to_string(high));
        }
        return defaultValue;
    }

    int Extent(std::string_view section, std::string_view key) {
        return Ranged(section, key, 0, 0, kSkinMaxExtent);
    }

    int Offset(std::string_view section, std::string_view key) {
        return Ranged(section, key, 0, -kSkinMaxExtent, kSkinMaxExtent);
    }

    // 0 where the key may leave the count to the loader.
    int Count(std::string_view section, std::string_view key, int defaultValue, int low = 0) {
        return Ranged(section, key, defaultValue, low, kSkinMaxImageCount);
    }

    std::optional<Rgb> OptionalColour(std::string_view section, std::string_view key) const {
        return ParseIniColour(ini_.ReadString(section, key, ""));
    }

    SkinBitmap Bitmap(std::string_view section, std::string_view key) const {
        return ResolveSkinBitmap(reader_, ini_.ReadString(section, key, ""), &model_.warnings);
    }

    void ReadFrameEdges() {
        const std::pair<const char*, FrameEdge*> edges[] = {{"Top", &model_.top},
                                                            {"Left", &model_.left},
                                                            {"Right", &model_.right},
                                                            {"Bottom", &model_.bottom}};
        for (const auto& [name, edge] : edges) {
            const std::string n = name;
            edge->bitmap = Bitmap("Personality", n);
            edge->imageCount = Count("Personality", n + "Frame", 1, 1);
            edge->topHeight = Extent("Personality", n + "TopHeight");
            edge->botHeight = Extent("Personality", n + "BotHeight");
            edge->stretch = std::min(Int("Personality", n + "Stretch", 1), 1);
            edge->trans = Int("Personality", n + "Trans", 1);
        }
    }

    void ReadColours() {
        SkinColours& c = model_.colours;
        const auto colour = [&](const char* key, Rgb fallback) {
            return ini_.ReadColour("Colours", key, fallback);
        };
        c.windowText = colour("WindowText", system_.windowText);
        c.buttonFace = colour("ButtonFace", system_.buttonFace);
        c.scrollbar = colour("Scrollbar", system_.scrollbar);
        c.hilightText = colour("HilightText", system_.highlightText);
        c.hilight = colour("Hilight", system_.highlight);
        c.menubar = colour("Menubar", c.buttonFace);
        c.menu = colour("Menu", system_.menu);
        c.menuText = colour("MenuText", system_.menuText);
        c.buttonText = colour("ButtonText", system_.buttonText);
        c.buttonHilight = colour("ButtonHilight", system_.buttonHighlight);
        c.buttonLight = colour("Buttonlight", system_.buttonHighlight);
        c.buttonShadow = colour("ButtonShadow", system_.buttonShadow);
        c.buttonDkShadow = colour("ButtonDkShadow", system_.darkShadow3d);
        c.menuBarText = colour("MenuBarText", system_.menuText);
        c.titleTextActive = colour("TitleTextActive", system_.captionText);
        c.titleTextNoActive = colour("TitleTextNoActive", system_.inactiveCaptionText);

        for (const std::string& name : ini_.SectionNames()) {
            const std::string upper = AsciiUppered(name);
            if (upper.starts_with("COLOUR") && upper != "COLOURS")
                model_.colourTable.push_back(ini_.ReadColour(name, "color", system_.windowText));
        }
        for (std::size_t i = 0; i < model_.customColours.size(); ++i)
            model_.customColours[i] = ini_.ReadColour("Customcolors", "Color" + std::to_string(i), kWhite);
    }

    static bool IsCaptionButtonSection(const std::string& upper) {
        return upper.starts_with("BUTTON") && upper != "BUTTON" && upper != "BUTTONS" &&
               upper != "BUTTON.RADIO" && upper != "BUTTON.CHECKBOX";
    }

    void ReadCaptionButtons() {
        for (const std::string& name : ini_.SectionNames()) {
            if (!IsCaptionButtonSection(AsciiUppered(name)))
                continue;
            const int action = Int(name, "Action", 0);
            if (action == -1 && Int(name, "Visibility", -1) != 0)
                continue;
            CaptionButton b;
            b.action = action;
            b.align = Int(name, "Align", 0);
            b.xcoord = Offset(name, "Xcoord");
            b.ycoord = Offset(name, "Ycoord");
            b.visibility = Int(name, "Visibility", 0);
            b.visibility1 = Int(name, "Visibility1", action == -1 ? -1 : 0);
            b.combineOp = Int(name, "CombineOp", -1);
            b.frame = Count(name, "Frame", 0);
            b.bitmap = Bitmap(name, "ButtonImage");
            b.imageCount = b.frame;
            if (b.frame == 0) {
                if (b.bitmap.Empty() || b.action < 0)
                    b.imageCount = 6;
                else
                    b.imageCount = double(b.bitmap.Width()) / b.bitmap.Height() <= 3.8 ? 3 : 6;
                if (b.action == 3 || b.action == 11)
                    b.bitmap = {};
            }
            model_.captionButtons.push_back(std::move(b));
        }

        model_.mdiControls = Bitmap("MDICONTROLS", "Image");
        const int column = model_.mdiControls.Width() / kMdiColumns;
        for (int k = 0; k < 3; ++k) {
            CaptionButton b;
            b.action = 7 + k;
            b.align = b.visibility = b.visibility1 = kMdiButtonState;
            b.imageCount = kMdiColumnsPerButton;
            b.bitmap = model_.mdiControls;
            b.source = PixelRect{kMdiColumnsPerButton * k * column, 0, kMdiColumnsPerButton * column,
                                 model_.mdiControls.Height()};
            b.xcoord = (column + 4) * (3 - k);
            model_.captionButtons.push_back(std::move(b));
        }
    }

    static int MarkImageCount(int frame, const SkinBitmap& bitmap) {
        if (frame != 0)
            return frame;
        const int cell = bitmap.Height() < 16 ? 13 : 16;
        return std::max(bitmap.Width() / cell, 4);
    }

    void ReadMargins(const std::string& section, ImageMargins& m) {
        m.leftWidth = Extent(section, "LeftWidth");
        m.rightWidth = Extent(section, "RightWidth");
        m.topHeight = Extent(section, "TopHeight");
        m.bottomHeight = Extent(section, "BottomHeight");
        m.trans = Int(section, "Trans", 0);
        m.tile = Int(section, "Tile", 0);
    }

    void ReadStateColours(const std::string& section, StateColours& c) const {
        c.normalColour = Int(section, "NormalColour", -1);
        c.mouseOverColour = Int(section, "MouseOverColour", -1);
        c.pressedColour = Int(section, "PressedColour", -1);
        c.normalColour2 = OptionalColour(section, "NormalColour2");
        c.mouseOverColour2 = OptionalColour(section, "MouseOverColour2");
        c.pressedColour2 = OptionalColour(section, "PressedColour2");
    }

    void ReadPushButtons() {
        PushButtonSkin& b = model_.buttons;
        b.bitmap = Bitmap("Buttons", "Bitmap");
        b.checkButton = Bitmap("Buttons", "CheckButton");
        b.radioButton = Bitmap("Buttons", "RadioButton");
        ReadMargins("Buttons", b);
        ReadStateColours("Buttons", b);
        b.radioImageCount = MarkImageCount(Count("Buttons", "RadioButtonFrame", 0), b.radioButton);
        b.checkImageCount = MarkImageCount(Count("Buttons", "CheckButtonFrame", 0), b.checkButton);
    }

    std::optional<Rgb> TextColour(const char* prefix) const {
        const std::string p = prefix;
        const int r = Int("Personality", p + "R", -1);
        const int g = Int("Personality", p + "G", -1);
        const int b = Int("Personality", p + "B", -1);
        if (r < 0 || g < 0 || b < 0)
            return std::nullopt;
        return MakeRgb(unsigned(r), unsigned(g), unsigned(b));
    }

    void ReadTitle() {
        CaptionTitle& t = model_.title;
        t.textShift = Offset("Personality", "TextShift");
        t.textShiftVert = Offset("Personality", "TextShiftVert");
        t.textRightClip = Offset("Personality", "TextRightClip");
        t.textAlignment = Int("Personality", "TextAlignment", 0);
        t.textBackground = Offset("Personality", "Textbackground");
        t.txtBackLeft = Offset("Personality", "TXTBackleft");
        t.txtBackRight = Offset("Personality", "TXTBackRight");
        t.textBack = Bitmap("Personality", "TextBack");
        t.activeText = TextColour("ActiveText");
        t.inactiveText = TextColour("InActiveText");
        t.fontHeight = Ranged("Fonts", "FontHeight", 14, 1, kSkinMaxFontHeight);
    }

    void ReadProgress() {
        if (!ini_.HasValue("Progress", "Bitmap"))
            return;
        ProgressSkin p;
        p.bitmap = Bitmap("Progress", "Bitmap");
        p.style = Int("Progress", "Style", 0);
        ReadMargins("Progress", p);
        p.tile = std::min(p.tile, 1);
        p.imageCount = p.style != 0 ? 1 : 2;
        model_.progress = std::move(p);
    }

    void ReadMenuBar() {
        MenuBarSkin& m = model_.menuBar;
        m.bitmap = Bitmap("Personality", "MenuBar");
        m.tileMenu = Int("Personality", "TileMenu", 1);
        m.tileLeftMenu = Int("Personality", "TileLeftMenu", 1);
        m.tileRightMenu = Int("Personality", "TileRightMenu", 1);
    }

    std::optional<ImageSkin> ReadImageSection(const std::string& section) {
        if (!ini_.HasValue(section, "Image"))
            return std::nullopt;
        ImageSkin s;
        s.image = Bitmap(section, "Image");
        s.style = Int(section, "Style", 0);
        s.frame = Count(section, "Frame", 0);
        ReadMargins(section, s);
        ReadStateColours(section, s);
        s.imageCount = s.frame > 0 ? s.frame : 1;
        return s;
    }

    void ReadImageSections() {
        SkinModel& m = model_;
        m.groupBoxEdge = ReadImageSection("GroupBoxEdge");
        m.groupBox = ReadImageSection("GroupBox");
        if (m.groupBox) {
            m.groupBox->backgroundAlignment = Int("GroupBox", "BackgroundAlignment", 0);
            m.groupBox->backgroundLeftShift = Offset("GroupBox", "BackgroundLeftShift");
            m.groupBox->backgroundRightShift = Offset("GroupBox", "BackgroundRightShift");
        }
        m.tabs = ReadImageSection("Tabs");
        if (m.tabs)
            m.tabs->second = Bitmap("Tabs", "Border");
        m.statusBarEdges = ReadImageSection("StatusBarEdges");
        m.tabPane = ReadImageSection("Tab.Pane");
        if (m.tabPane) {
            for (int* margin : {&m.tabPane->leftWidth, &m.tabPane->rightWidth, &m.tabPane->topHeight,
                                &m.tabPane->bottomHeight})
                *margin = std::min(*margin, 4);
        }
        m.toolBars = ReadImageSection("ToolBars");
        m.comboButton = ReadImageSection("ComboButton");
        m.sunkEdge = ReadImageSection("SunkEdge");
        m.extraImages = ReadImageSection("ExtraImages");
        m.headerbar = ReadImageSection("Headerbar");
        m.menuItem = ReadImageSection("MenuItem");
        m.menuBackground = ReadImageSection("MenuBackground");
        m.scrollbar = ReadImageSection("Scrollbar");
        m.horzScroll = ReadImageSection("HorzScroll");
        m.vertScroll = ReadImageSection("VertScroll");
        m.horzScrollThumb = ReadImageSection("HorzScrollThumb");
        if (m.horzScrollThumb)
            m.horzScrollThumb->imageCount = Count("HorzScrollThumb", "FrameCount", 3, 1);
        m.vertScrollThumb = ReadImageSection("VertScrollThumb");
        if (m.vertScrollThumb)
            m.vertScrollThumb->imageCount = Count("VertScrollThumb", "FrameCount", 3, 1);
        m.thumbHorz = ReadImageSection("Trackbar.ThumbHorz");
        m.thumbVert = ReadImageSection("Trackbar.ThumbVert");
        m.thumbLeft = ReadImageSection("Trackbar.ThumbLeft");
        m.thumbRight = ReadImageSection("Trackbar.ThumbRight");
        m.thumbUp = ReadImageSection("Trackbar.ThumbUp");
        m.thumbDown = ReadImageSection("Trackbar.ThumbDown");
        m.upDownHorz = ReadImageSection("UpDown.Horz");
        if (m.upDownHorz)
            m.upDownHorz->second = Bitmap("UpDown.Horz", "GlyphImage");
        m.upDownVert = ReadImageSection("UpDown.Vert");
        if (m.upDownVert)
            m.upDownVert->second = Bitmap("UpDown.Vert", "GlyphImage");
        m.track = ReadImageSection("Track");
        m.trackVert = ReadImageSection("TRACKVERT");
        if (!m.trackVert)
            m.trackVert = ReadImageSection("TRACK");
    }

    void SetFixedImageCounts() {
        SkinModel& m = model_;
        const auto set = [](std::optional<ImageSkin>& s, int count) {
            if (s)
                s->imageCount = count;
        };
        set(m.groupBoxEdge, 2);
        set(m.groupBox, 1);
        set(m.tabs, 5);
        set(m.tabPane, 1);
        set(m.statusBarEdges, 3);
        set(m.toolBars, 5);
        set(m.comboButton, 4);
        set(m.sunkEdge, 4);
        set(m.extraImages, 5);
        if (m.headerbar)
            m.headerbar->imageCount = m.headerbar->frame > 0 ? m.headerbar->frame : 5;
        set(m.menuItem, 5);
        set(m.menuBackground, 1);
        set(m.scrollbar, 23);
        set(m.horzScroll, 4);
        set(m.vertScroll, 4);
        set(m.upDownHorz, 8);
        set(m.upDownVert, 8);
        for (auto* thumb :
             {&m.thumbHorz, &m.thumbVert, &m.thumbLeft, &m.thumbRight, &m.thumbUp, &m.thumbDown})
            set(*thumb, 5);
        m.menuBar.imageCount = 2;
        m.title.imageCount = 2;
    }

    void DeriveValues() {
        SkinModel& m = model_;
        m.backgroundColour = m.colours.buttonFace;
        if (!m.top.bitmap.Empty()) {
            const int imageHeight = m.top.bitmap.Height() / std::max(m.top.imageCount, 1);
            const std::optional<Rgb> pixel =
                m.top.bitmap.info.PixelAt(m.top.bitmap.Width() / 3, imageHeight / 3);
            if (pixel)
                m.backgroundColour = *pixel;
            else
                m.warnings.push_back("top frame pixels unreadable; background is the ButtonFace colour");
        }
        m.toolbarBackground.colour = m.backgroundColour;
        m.buttonFaceBrush = m.colours.buttonFace;
    }

    const TSkinReader& reader_;
    const TSkinIni& ini_;
    const SystemColours& system_;
    SkinModel& model_;
    std::string error_;
};

} // namespace

SkinBitmap ResolveSkinBitmap(const TSkinReader& reader, std::string_view reference,
                             std::vector<std::string>* warnings) {
    const std::size_t folder = reference.find_last_of("\\:");
    const std::string_view name = folder == std::string_view::npos ? reference : reference.substr(folder + 1);
    const std::size_t dot = name.rfind('.');
    if (name.empty() || dot == std::string_view::npos || name.substr(dot) != ".bmp")
        return {};
    const std::span<const std::uint8_t> bytes = reader.MemberByName(name);
    if (bytes.empty())
        return {};
    std::string error;
    std::optional<BmpInfo> info = ParseBmp(bytes, error);
    if (!info) {
        if (warnings)
            warnings->push_back(AsciiLowered(name) + ": " + error);
        return {};
    }
    return SkinBitmap{AsciiLowered(name), bytes, *info};
}

std::optional<SkinModel> LoadSkinModel(TSkinReader& reader, const SystemColours& system, std::string* error) {
    SkinModel model;
    TSkinIni ini;
    if (const std::optional<TSkinReader::Member> description = reader.MemberByFragment(".ini"))
        ini.Load(description->data);
    else
        model.warnings.push_back("the package holds no description");
    SkinBuilder builder(reader, ini, system, model);
    if (!builder.Build()) {
        if (error)
            *error = builder.Error();
        return std::nullopt;
    }
    // Moving the vector keeps its buffer, so every bitmap's span stays valid.
    model.package = std::make_shared<const std::vector<std::uint8_t>>(reader.TakeUnpacked());
    return model;
}

std::optional<SkinModel> LoadSkinStream(std::span<const std::uint8_t> value, MessageSink& sink,
                                        const SystemColours& system, std::string* error) {
    const auto fail = [&](std::string reason) -> std::optional<SkinModel> {
        if (error)
            *error = std::move(reason);
        return std::nullopt;
    };
    if (value.size() < 4)
        return fail("SkinStream value shorter than its count");
    const std::int32_t count = LoadLeI32(value, 0);
    if (count <= 0)
        return fail("");
    if (std::size_t(count) > value.size() - 4)
        return fail("SkinStream count " + std::to_string(count) + " runs past the value");
    TSkinReader reader;
    if (!reader.Open(value.subspan(4, std::size_t(count)), sink))
        return fail(reader.Error());
    return LoadSkinModel(reader, system, error);
}

} // namespace veltrane
