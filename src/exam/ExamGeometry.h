#pragma once

#include <QColor>
#include <QRect>

// Geometry and colours of the mock-exam window at 100 % scale, in pixels.
namespace ExamGeometry {
constexpr int ClientWidth = 1167, ClientHeight = 665;
constexpr int MinWidth = 1000, MinHeight = 660; // the whole card fits; 1024 x 768 screens have room
constexpr int WindowFontPx = 12;

// Header band.
constexpr int HeaderHeight = 105, HeaderLine = 3;
constexpr QRect PhotoRect(1, 0, 92, 106);
constexpr QRect TimeRect(976, 34, 97, 16);
constexpr int TimeFontPx = 16;
constexpr QRect HandInRect(998, 64, 89, 41);
// The header picture's pieces: the candidate block up to BannerLeftPiece, the time box and the
// hand-in button from BannerRightPieceStart to its right edge (TimeRect and HandInRect lie there).
constexpr int BannerLeftPiece = 355, BannerRightPieceStart = 925,
              BannerRightPiece = ClientWidth - BannerRightPieceStart;

// Left column: the answer card above the legend.
constexpr int LeftWidth = 213, LegendHeight = 52;
constexpr int CardHeaderHeight = 34;
constexpr int CellsPanelHeight = 85, FourthCellsPanelHeight = 112;
constexpr int CardHeaderFontPx = 15;
constexpr int CellsPerRow = 7, CellPitchX = 29, CellSize = 24, LabelSize = 20, CellsPanelBottomGap = 10;
constexpr int LabelFontPt = 11;
constexpr int LegendSwatchWidth = 24, LegendSwatchHeight = 17;

// Main area; the question view lays out its own pages. The two-options prompt sits under the
// options as the view places them.
constexpr int BottomBarHeight = 57;
constexpr int OptionLeft = 30, OptionStep = 40, OptionTop = 15, OptionFontPt = 14;

// Score panel.
constexpr int ScorePanelWidth = 253, ScoreHeadingHeight = 25, ScoreFontPx = 20, ScoreGridHeight = 127;
constexpr int ScoreGridRowHeight = 18;

// Cell colours; the outline of every square stays sky blue.
inline QColor CellOutline() {
    return QColor(166, 202, 240);
}
// Grey until the question has been shown: apart from white, which is shown and not answered.
inline QColor NotVisitedColour() {
    return QColor(208, 208, 208);
}
inline QColor NotDoneColour() {
    return QColor(255, 255, 255);
}
inline QColor CurrentColour() {
    return QColor(0, 102, 204);
} // the desktop's hot-track blue
inline QColor MarkedColour() {
    return QColor(255, 0, 0);
}
inline QColor DoneColour() {
    return QColor(0, 255, 0);
}
inline QColor CardHeaderColour() {
    return QColor(185, 209, 234);
} // gradient active caption
inline QColor HeaderSky() {
    return QColor(109, 176, 231);
}
inline QColor MainAreaColour() {
    return QColor(157, 206, 255);
}
} // namespace ExamGeometry
