#pragma once

#include <string_view>

// The control words the reader acts on. Every other word is ignored, as RTF asks of a reader.
enum class RtfKw {
    // destinations
    FontTable,
    ColorTable,
    Picture,
    SkipDestination,
    KeepDestination,
    AnsiOnly,
    UnicodeAlternative,
    // document
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    // font and colour table entries
    Font,
    FontCharset,
    FontCodePage,
    Red,
    Green,
    Blue,
    // character formatting
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    UnderlineDotted,
    UnderlineDashed,
    UnderlineWave,
    Strike,
    FontSize,
    Color,
    Background,
    Subscript,
    Superscript,
    NoSuperSub,
    Caps,
    SmallCaps,
    Hidden,
    UnicodeSkip,
    Unicode,
    LowAnsi,
    HighAnsi,
    DoubleByte,
    AssociatedFont,
    // paragraph formatting
    ParagraphDefault,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    InTable,
    NestLevel,
    // breaks and special characters
    Paragraph,
    Character,
    Cell,
    Row,
    NestedCell,
    NestedRow,
    // table rows
    RowDefaults,
    CellRight,
    RowLeft,
    RowAlignLeft,
    RowAlignCenter,
    RowAlignRight,
    // pictures
    PngBlip,
    JpegBlip,
    OtherBlip,
    PictureWidthGoal,
    PictureHeightGoal,
    PictureScaleX,
    PictureScaleY,
    Binary,
};

struct RtfKeyword {
    RtfKw kind;
    char16_t character = 0; // Character: the text it stands for
};

// nullptr for a word the reader does not act on.
const RtfKeyword *FindRtfKeyword(std::string_view word);
