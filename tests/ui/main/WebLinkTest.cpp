#include "WebLink.h"

#include <gtest/gtest.h>

namespace {

TEST(WebLink, OnlyWebAndMailAddressesMayBeOpened) {
    struct Case {
        const char *text;
        const char *opens; // empty: refused
    };
    const Case cases[] = {
        {"https://www.example.com/kjks", "https://www.example.com/kjks"},
        {"  HTTP://Example.com:8080/a?b=1#c ", "http://example.com:8080/a?b=1#c"},
        {"www.example.com/kjks", "http://www.example.com/kjks"},
        {"example.com", "http://example.com"},
        {"service@example.com", "mailto:service@example.com"},
        {"mailto:service@example.com?subject=kjks", "mailto:service@example.com?subject=kjks"},
        // Programs, files and other handlers.
        {"/usr/bin/xcalc", ""},
        {"./AutoUpdate.exe", ""},
        {"StuName/1001.exe", ""},
        {"calc", ""},
        {"C:\\Windows\\System32\\calc.exe", ""},
        {"file:///usr/bin/xcalc", ""},
        {"FILE:/etc/passwd", ""},
        {"javascript:alert(1)", ""},
        {"smb://server/share/x.exe", ""},
        {"ftp://example.com/x", ""},
        {"vscode://file/etc/passwd", ""},
        {"mailto:", ""},
        {"mailto:not an address", ""},
        // Damaged addresses.
        {"", ""},
        {"   ", ""},
        {"http://", ""},
        {"http:example.com", ""},
        {"https://example.com/a b", ""},
        {"https://example.com/\x01", ""},
        {"www.example.com\nfile:///bin/sh", ""},
        {"\"https://example.com\"", ""},
    };
    for (const Case &c : cases) {
        const QUrl url = WebOrMailLink(QString::fromUtf8(c.text));
        EXPECT_EQ(url.isValid() ? url.toString(QUrl::FullyEncoded) : QString(), QString::fromUtf8(c.opens)) << c.text;
    }
}

} // namespace
