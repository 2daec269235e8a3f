#pragma once

// The main window's design geometry, in pixels: the size it opens at where the screen has room,
// and the heights of its fixed bands. The pages take whatever room is left.
namespace MainGeometry {
inline constexpr int kWidth = 1013;
inline constexpr int kHeight = 732;
inline constexpr int kBannerHeight = 81;
inline constexpr int kNavHeight = 96;
inline constexpr int kNavPicture = 70;
inline constexpr int kNavCaptionHeight = 22;
inline constexpr int kNavLeft = 24;
inline constexpr int kNavSpacing = 112;
inline constexpr int kSubjectHeight = 57;
inline constexpr int kSubjectIcon = 32;
inline constexpr int kStatusHeight = 23;
// The smallest window: fits a 1024 x 768 screen with its task bar and title bar.
inline constexpr int kMinWidth = 980;
inline constexpr int kMinHeight = 600;
} // namespace MainGeometry
