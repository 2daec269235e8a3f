#pragma once

// The main window's design geometry, in pixels.
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
inline constexpr int kPageTop = kBannerHeight + kNavHeight + kSubjectHeight;
inline constexpr int kPageHeight = kHeight - kPageTop - kStatusHeight;
inline constexpr int kMottoTop = 464; // from the top of the home page
} // namespace MainGeometry
