#pragma once

#include <QDateTime>
#include <QString>
#include <exception>

// The seams between the program and the desktop it runs on: message boxes, the shell, pauses and
// the clock. The desktop implementation lives in platform/desktop; tests install a recorder so that
// no modal box ever blocks and every text shown can be asserted.
class PlatformServices {
public:
    enum class BoxKind { Info, Error, Confirm, Plain };

    virtual ~PlatformServices() = default;

    // Modal boxes; the caption is the application title.
    virtual void messageBox(BoxKind kind, const QString &text) = 0;
    // OK/Cancel with an information icon; true for OK.
    virtual bool confirmBox(const QString &text) = 0;
    // OK/Cancel with a question icon, its own caption and Cancel as the default; true for OK.
    virtual bool questionBox(const QString &caption, const QString &text) { return confirmBox(caption + text); }
    // Opens an address, a document or a program in a normal window without waiting; true when the
    // desktop accepted the request.
    virtual bool shellOpen(const QString &target) = 0;
    // Starts a program with or without a window (the updater); true when it started.
    virtual bool startProgram(const QString &path, bool visible) = 0;
    // Lets pending window events run (timers, clicks) inside a handler.
    virtual void processEvents() = 0;
    // Waits `ms` milliseconds while pending events run.
    virtual void pause(int ms) = 0;
    // Local date and time.
    virtual QDateTime now() = 0;
    // Seed material for random draws (a high-resolution counter).
    virtual quint64 seedCounter() = 0;
    // Says that the program blocks for a while (a wait cursor on the desktop), or no longer does.
    virtual void setBusy(bool busy) { Q_UNUSED(busy); }
    // Milliseconds on a clock that never jumps (not the wall clock): deadlines count on it.
    virtual qint64 monotonicMs();
    // Closes the boxes open now as if cancelled (a confirmation answers no): what they ask about
    // is over. Each box's call returns once the handler that closed them has returned.
    virtual void closeBoxes() {}
};

// The services in force; the desktop one is installed at start, a recorder in tests.
PlatformServices &platform();
void setPlatform(PlatformServices *services);

// The application title: every box's caption. A fixed product title until the bank's title is read.
QString applicationTitle();
void setApplicationTitle(const QString &title);
// The title the process starts with, before the bank is open.
QString productTitle();

// The text of the general error box for a failure whose own text is `detail` (the engine's or the
// runtime's words, often English): a Chinese sentence the learner can act on, then the detail on
// a line of its own. A text that is already Chinese is the learner's text and stays as it is.
QString ErrorBoxText(const QString &detail);

// How a failure caught by a handler is put to the learner. The program installs the bank's own
// explainer at start (its failures are told apart by the engine's result code); an explainer that
// returns an empty text, or none installed, leaves the failure to ErrorBoxText.
using FailureExplainer = QString (*)(const std::exception &failure);
void setFailureExplainer(FailureExplainer explainer);
QString FailureBoxText(const std::exception &failure);

void ShowInfoBox(const QString &text);
void ShowErrorBox(const QString &text);
bool ConfirmBox(const QString &text);
// OK/Cancel with a question icon under the given caption, Cancel the default; true for OK.
bool QuestionBox(const QString &caption, const QString &text);
// A plain box with only the text and OK (no icon).
void ShowMessage(const QString &text);
bool ShellOpen(const QString &target);
// How many of the boxes above are open now (a box over a box counts twice): a window that reports
// something of its own waits until none is, so that boxes never stack.
int OpenBoxCount();
// Closes every box open now as if cancelled.
void CloseOpenBoxes();
