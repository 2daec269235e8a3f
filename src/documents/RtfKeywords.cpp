#include "RtfKeywords.h"

#include <unordered_map>

namespace {

using Table = std::unordered_map<std::string_view, RtfKeyword>;

Table makeTable() {
    Table t;
    auto add = [&t](RtfKw kind, std::initializer_list<std::string_view> words) {
        for (std::string_view w : words)
            t.emplace(w, RtfKeyword{kind, 0});
    };
    auto ch = [&t](std::string_view word, char16_t c) { t.emplace(word, RtfKeyword{RtfKw::Character, c}); };

    add(RtfKw::FontTable, {"fonttbl"});
    add(RtfKw::ColorTable, {"colortbl"});
    add(RtfKw::Picture, {"pict"});
    // Destinations whose content is not document text. Words written after \* need no entry:
    // an unknown starred destination is skipped anyway.
    add(RtfKw::SkipDestination, {"stylesheet",
                                 "info",
                                 "header",
                                 "headerl",
                                 "headerr",
                                 "headerf",
                                 "footer",
                                 "footerl",
                                 "footerr",
                                 "footerf",
                                 "footnote",
                                 "fldinst",
                                 "nonshppict",
                                 "listtable",
                                 "listoverridetable",
                                 "revtbl",
                                 "rsidtbl",
                                 "filetbl",
                                 "objdata",
                                 "objclass",
                                 "objname",
                                 "template",
                                 "xe",
                                 "tc",
                                 "txe",
                                 "rxe",
                                 "annotation",
                                 "atnid",
                                 "atnauthor",
                                 "atndate",
                                 "atnref",
                                 "bkmkstart",
                                 "bkmkend",
                                 "pgdsctbl",
                                 "themedata",
                                 "colorschememapping",
                                 "latentstyles",
                                 "datastore",
                                 "generator",
                                 "xmlnstbl",
                                 "mmathPr",
                                 "do",
                                 "nonesttables",
                                 "ftnsep",
                                 "ftnsepc",
                                 "ftncn",
                                 "aftnsep",
                                 "aftnsepc",
                                 "aftncn",
                                 "comment",
                                 "title",
                                 "subject",
                                 "author",
                                 "operator",
                                 "keywords",
                                 "doccomm",
                                 "company",
                                 "category",
                                 "manager",
                                 "hlinkbase",
                                 "userprops",
                                 "pn",
                                 "pntxta",
                                 "pntxtb",
                                 "listpicture",
                                 "fldtype",
                                 "formfield",
                                 "datafield",
                                 "sp",
                                 "sn",
                                 "sv",
                                 "shpinst",
                                 "picprop",
                                 "blipuid",
                                 "falt",
                                 "panose",
                                 "docvar",
                                 "background",
                                 "private",
                                 "buptim",
                                 "creatim",
                                 "printim",
                                 "revtim",
                                 "expandedcolortbl",
                                 "wgrffmtfilter",
                                 "passwordhash"});
    // Starred destinations whose content is shown: the picture a word processor stores for
    // readers that know PNG/JPEG, and the Unicode twin of \upr text.
    add(RtfKw::KeepDestination, {"shppict"});
    add(RtfKw::AnsiOnly, {"upr"});
    add(RtfKw::UnicodeAlternative, {"ud"});

    add(RtfKw::Ansi, {"ansi"});
    add(RtfKw::Mac, {"mac"});
    add(RtfKw::Pc, {"pc"});
    add(RtfKw::Pca, {"pca"});
    add(RtfKw::AnsiCodePage, {"ansicpg"});
    add(RtfKw::DefaultFont, {"deff"});

    add(RtfKw::Font, {"f"});
    add(RtfKw::FontCharset, {"fcharset"});
    add(RtfKw::FontCodePage, {"cpg"});
    add(RtfKw::Red, {"red"});
    add(RtfKw::Green, {"green"});
    add(RtfKw::Blue, {"blue"});

    add(RtfKw::Plain, {"plain"});
    add(RtfKw::Bold, {"b"});
    add(RtfKw::Italic, {"i"});
    add(RtfKw::Underline, {"ul", "uldb", "ulth", "ulw", "ulthd"});
    add(RtfKw::UnderlineNone, {"ulnone"});
    add(RtfKw::UnderlineDotted, {"uld", "ulthdash"});
    add(RtfKw::UnderlineDashed, {"uldash", "uldashd", "uldashdd", "ulldash", "ulthdashd", "ulthdashdd"});
    add(RtfKw::UnderlineWave, {"ulwave", "ulhwave", "ululdbwave"});
    add(RtfKw::Strike, {"strike", "striked"});
    add(RtfKw::FontSize, {"fs"});
    add(RtfKw::Color, {"cf"});
    add(RtfKw::Background, {"cb", "highlight", "chcbpat"});
    add(RtfKw::Subscript, {"sub"});
    add(RtfKw::Superscript, {"super"});
    add(RtfKw::NoSuperSub, {"nosupersub"});
    add(RtfKw::Caps, {"caps"});
    add(RtfKw::SmallCaps, {"scaps"});
    add(RtfKw::Hidden, {"v"});
    add(RtfKw::UnicodeSkip, {"uc"});
    add(RtfKw::Unicode, {"u"});
    add(RtfKw::LowAnsi, {"loch"});
    add(RtfKw::HighAnsi, {"hich"});
    add(RtfKw::DoubleByte, {"dbch"});
    add(RtfKw::AssociatedFont, {"af"});

    add(RtfKw::ParagraphDefault, {"pard"});
    add(RtfKw::AlignLeft, {"ql"});
    add(RtfKw::AlignCenter, {"qc"});
    add(RtfKw::AlignRight, {"qr"});
    add(RtfKw::AlignJustify, {"qj", "qd"});
    add(RtfKw::LeftIndent, {"li", "lin"});
    add(RtfKw::RightIndent, {"ri", "rin"});
    add(RtfKw::FirstIndent, {"fi"});
    add(RtfKw::SpaceBefore, {"sb"});
    add(RtfKw::SpaceAfter, {"sa"});
    add(RtfKw::InTable, {"intbl"});
    add(RtfKw::NestLevel, {"itap"});

    add(RtfKw::Paragraph, {"par", "page", "sect", "column"});
    add(RtfKw::Cell, {"cell"});
    add(RtfKw::Row, {"row"});
    add(RtfKw::NestedCell, {"nestcell"});
    add(RtfKw::NestedRow, {"nestrow"});
    ch("tab", u'\t');
    ch("line", u'\u2028');
    ch("emdash", u'\u2014');
    ch("endash", u'\u2013');
    ch("emspace", u'\u2003');
    ch("enspace", u'\u2002');
    ch("qmspace", u'\u2005');
    ch("bullet", u'\u2022');
    ch("lquote", u'\u2018');
    ch("rquote", u'\u2019');
    ch("ldblquote", u'\u201C');
    ch("rdblquote", u'\u201D');
    ch("zwj", u'\u200D');
    ch("zwnj", u'\u200C');
    ch("zwbo", u'\u200B');
    ch("ltrmark", u'\u200E');
    ch("rtlmark", u'\u200F');

    add(RtfKw::RowDefaults, {"trowd"});
    add(RtfKw::CellRight, {"cellx"});
    add(RtfKw::RowLeft, {"trleft"});
    add(RtfKw::RowAlignLeft, {"trql"});
    add(RtfKw::RowAlignCenter, {"trqc"});
    add(RtfKw::RowAlignRight, {"trqr"});

    add(RtfKw::PngBlip, {"pngblip"});
    add(RtfKw::JpegBlip, {"jpegblip"});
    add(RtfKw::OtherBlip, {"wmetafile", "emfblip", "macpict", "pmmetafile", "dibitmap", "wbitmap"});
    add(RtfKw::PictureWidthGoal, {"picwgoal"});
    add(RtfKw::PictureHeightGoal, {"pichgoal"});
    add(RtfKw::PictureScaleX, {"picscalex"});
    add(RtfKw::PictureScaleY, {"picscaley"});
    add(RtfKw::Binary, {"bin"});
    return t;
}

} // namespace

const RtfKeyword *FindRtfKeyword(std::string_view word) {
    static const Table table = makeTable();
    const auto it = table.find(word);
    return it == table.end() ? nullptr : &it->second;
}
