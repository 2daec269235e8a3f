#pragma once

#include <QString>
#include <QUrl>

// What the status-bar link may open. Its text comes from the bank, so it must never name a
// program or a file: only a web address (http, https) or a mail address is accepted. A bare
// host name ("www.example.com/kjks") is a web address and a bare "name@example.com" a mail
// address, as a learner would type them. Anything else gives an invalid QUrl.
QUrl WebOrMailLink(const QString &text);
