#pragma once

#include "RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <memory>

// Fonts and pictures need a GUI application; the offscreen platform is set by the test runner.
inline void EnsureGuiApp() {
    if (QGuiApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_rtf";
    static char *argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

inline std::unique_ptr<QTextDocument> LoadDoc(const QByteArray &rtf) {
    EnsureGuiApp();
    auto doc = std::make_unique<QTextDocument>();
    LoadRtf(rtf, doc.get());
    return doc;
}

// Wraps body text in a minimal document header.
inline QByteArray Rtf(const QByteArray &body) {
    return QByteArrayLiteral(
               "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
               "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}") +
           body + '}';
}
