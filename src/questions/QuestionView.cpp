#include "QuestionView.h"

#include "Fonts.h"
#include "NumberText.h"
#include "OptionButtons.h"
#include "PlainLabel.h"

#include <QApplication>
#include <QBuffer>
#include <QImageReader>
#include <QLabel>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

// Measures both windows share, in pixels at 96 dpi.
constexpr int StemFontPx = 19, StemMargin = 16, StemGap = 10, StemMinHeight = 60;
constexpr int OptionStep = 40, OptionHeight = 38, OptionWidthMargin = 100, OptionFontPt = 14;
// A whole case: sub-question k's label and the boxes below it, n options placed before it.
constexpr int SubLabelTop = 20, SubLabelPerSub = 32, BoxTop = 40, BoxPerSub = 36;
// One case sub-question: its wrapping label, the boxes at least this far down.
constexpr int SubQuestionTop = 10, SubQuestionBoxLeft = 32, SubQuestionBoxesTop = 50, SubQuestionBoxesGap = 8;
constexpr int SubQuestionRightMargin = 16;
// Largest question picture shown, in pixels per side and in all (a picture is about 4 bytes a pixel).
constexpr int PictureMaxSide = 8000, PictureMaxMegapixels = 40;

QString pictureNotShown() {
    return QStringLiteral("图片无法显示");
}

QPlainTextEdit *memo(QWidget *parent, const QFont &font, bool keyboardOnly) {
    auto *m = new QPlainTextEdit(parent);
    m->setReadOnly(true);
    m->setFrameShape(QFrame::NoFrame);
    m->setFont(font);
    if (keyboardOnly) {
        m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m->setFocusPolicy(Qt::NoFocus); // the window's keys stay the window's
    }
    return m;
}

// A page or panel; white where the look asks for it.
QWidget *panel(QWidget *parent, bool white) {
    auto *w = new QWidget(parent);
    if (white) {
        w->setAutoFillBackground(true);
        QPalette p = w->palette();
        p.setColor(QPalette::Window, Qt::white);
        w->setPalette(p);
    }
    return w;
}

// A question picture within sensible bounds, or nothing: a header claiming a huge size is refused
// before any pixel is allocated, and a truncated or broken JPEG gives no picture.
QImage readPicture(const QByteArray &bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "JPEG");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > PictureMaxSide || size.height() > PictureMaxSide ||
        qint64(size.width()) * size.height() > qint64(PictureMaxMegapixels) * 1000 * 1000)
        return QImage();
    QImage image;
    if (!reader.read(&image)) return QImage();
    return image;
}

void toTop(QScrollArea *area) {
    area->verticalScrollBar()->setValue(0);
    area->horizontalScrollBar()->setValue(0);
}

bool isMouseClick(const QEvent *event) {
    return event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
           event->type() == QEvent::MouseButtonDblClick;
}

// The case page: the material above, the sub-questions below. The material keeps its strip at the
// design size and gets the look's share of any extra height, until the learner drags the handle,
// whose place then stays.
class CaseSplitter : public QSplitter {
public:
    CaseSplitter(const QuestionLook &look, QWidget *parent) : QSplitter(Qt::Vertical, parent), m_look(look) {
        setChildrenCollapsible(false);
        connect(this, &QSplitter::splitterMoved, this, [this] { m_dragged = true; });
    }

protected:
    void resizeEvent(QResizeEvent *event) override {
        QSplitter::resizeEvent(event);
        if (m_dragged || count() != 2) return;
        const int available = height() - handleWidth();
        const int extra = qMax(0, height() - m_look.casePageDesignHeight);
        const int top = m_look.caseStemHeight + int(extra * m_look.caseStemShare);
        setSizes({top, qMax(0, available - top)});
    }

private:
    QuestionLook m_look;
    bool m_dragged = false;
};

} // namespace

QuestionLook QuestionLook::Practice() {
    QuestionLook l;
    l.stemBoxHeight = 137;
    l.stemBoxSideMargin = StemMargin;
    l.stemBoxFont = PixelFont(QStringLiteral("宋体"), StemFontPx);
    l.stemBreakFirst = true;
    l.optionLeft = 32;
    l.optionTop = 150;
    l.judgementCaptions[0] = QStringLiteral("正确");
    l.judgementCaptions[1] = QStringLiteral("错误");
    l.judgementTops[0] = 150;
    l.judgementTops[1] = 190;
    l.operationMargins = QMargins(StemMargin, StemGap, 0, 0);
    l.operationFooterHeight = 66;
    l.stemAreaTop = StemMargin;
    l.stemAreaBottom = StemMargin;
    l.caseStemHeight = 161;
    l.casePageDesignHeight = 530;
    l.caseStemShare = 0.5;
    l.wholeCase = true;
    l.reportEveryClick = true;
    return l;
}

QuestionLook QuestionLook::Exam() {
    QuestionLook l;
    l.stemBoxHeight = 130;
    l.stemBoxFont = PointFont(QStringLiteral("宋体"), OptionFontPt);
    l.stemBoxDocumentMargin = 8;
    l.optionsOnOwnPanel = true;
    l.optionLeft = 30;
    l.optionTop = 15;
    l.judgementCaptions[0] = QStringLiteral("是");
    l.judgementCaptions[1] = QStringLiteral("否");
    l.judgementTops[0] = 20;
    l.judgementTops[1] = 60;
    l.judgementSize = QSize(64, 26);
    l.keyboardOnly = true;
    l.operationDocumentMargin = StemMargin;
    l.stemAreaTop = 2;
    l.stemAreaBottom = 9;
    l.caseStemHeight = 145;
    l.visibleCaseHandle = true;
    l.subQuestionMinHeight = 120;
    return l;
}

QuestionView::QuestionView(const QuestionLook &look, const std::vector<Page> &pages, QWidget *parent)
    : QStackedWidget(parent), m_look(look) {
    for (int p = ChoicePage; p <= CasePage; ++p) {
        QWidget *w = panel(nullptr, look.keyboardOnly);
        addWidget(w);
        if (std::find(pages.begin(), pages.end(), Page(p)) == pages.end()) continue;
        switch (Page(p)) {
        case ChoicePage:
            buildChoicePage(w);
            break;
        case OperationPage:
            buildOperationPage(w);
            break;
        case AnalysisPage:
            buildAnalysisPage(w);
            break;
        case CasePage:
            buildCasePage(w);
            break;
        }
    }
    nameParts();
    setCurrentIndex(pages.empty() ? 0 : int(pages.front()));
}

// Every part is named after its member; a page that is its own option area keeps the page's name.
void QuestionView::nameParts() {
    const std::pair<QObject *, const char *> parts[] = {{stemBox, "stemBox"},
                                                        {optionArea, "optionArea"},
                                                        {operationBox, "operationBox"},
                                                        {analysisArea, "analysisArea"},
                                                        {analysisStem, "analysisStem"},
                                                        {analysisPicture, "analysisPicture"},
                                                        {analysisExtra, "analysisExtra"},
                                                        {caseSplitter, "caseSplitter"},
                                                        {caseStemArea, "caseStemArea"},
                                                        {caseStem, "caseStem"},
                                                        {casePicture, "casePicture"},
                                                        {caseExtra, "caseExtra"},
                                                        {subQuestionArea, "subQuestionArea"},
                                                        {subQuestionPanel, "subQuestionPanel"}};
    for (const auto &[part, name] : parts)
        if (part) part->setObjectName(QString::fromLatin1(name));
    const char *pageNames[] = {"choicePage", "operationPage", "analysisPage", "casePage"};
    for (int p = ChoicePage; p <= CasePage; ++p)
        widget(p)->setObjectName(QString::fromLatin1(pageNames[p]));
}

// ---------------------------------------------------------------------------------------------
// Pages

void QuestionView::buildChoicePage(QWidget *page) {
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *stemPanel = new QWidget(page);
    stemPanel->setFixedHeight(m_look.stemBoxHeight);
    auto *stemLayout = new QVBoxLayout(stemPanel);
    stemLayout->setContentsMargins(m_look.stemBoxSideMargin, 0, m_look.stemBoxSideMargin, 0);
    stemBox = memo(stemPanel, m_look.stemBoxFont, m_look.keyboardOnly);
    stemBox->setAccessibleName(QStringLiteral("题目"));
    if (m_look.stemBoxDocumentMargin >= 0) stemBox->document()->setDocumentMargin(m_look.stemBoxDocumentMargin);
    stemLayout->addWidget(stemBox);
    layout->addWidget(stemPanel);
    if (m_look.optionsOnOwnPanel) {
        optionArea = panel(page, m_look.keyboardOnly);
        layout->addWidget(optionArea, 1);
    } else {
        optionArea = page;
        layout->addStretch(1);
    }
    optionArea->installEventFilter(this);
}

void QuestionView::buildOperationPage(QWidget *page) {
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(m_look.operationMargins);
    layout->setSpacing(0);
    operationBox = memo(page, PixelFont(QStringLiteral("宋体"), StemFontPx), m_look.keyboardOnly);
    operationBox->setAccessibleName(QStringLiteral("题目"));
    operationBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    if (m_look.operationDocumentMargin >= 0)
        operationBox->document()->setDocumentMargin(m_look.operationDocumentMargin);
    layout->addWidget(operationBox, 1);
    if (m_look.operationFooterHeight > 0) {
        auto *footer = new QWidget(page);
        footer->setFixedHeight(m_look.operationFooterHeight);
        layout->addWidget(footer);
    }
}

// A scroll area whose content stacks a stem, its picture and its second text.
QScrollArea *QuestionView::stemArea(QWidget *parent, QLabel *&stem, QLabel *&picture, QLabel *&extra) {
    auto *area = new QScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(false);
    if (m_look.keyboardOnly) area->setFocusPolicy(Qt::NoFocus);
    QWidget *content = panel(nullptr, m_look.keyboardOnly);
    stem = PlainLabel(content, QString());
    extra = PlainLabel(content, QString());
    for (QLabel *l : {stem, extra}) {
        l->setWordWrap(true);
        l->setFont(PixelFont(QStringLiteral("宋体"), StemFontPx));
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->hide();
    }
    picture = PlainLabel(content, QString());
    picture->hide();
    area->setWidget(content);
    area->viewport()->installEventFilter(this);
    return area;
}

void QuestionView::buildAnalysisPage(QWidget *page) {
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    analysisArea = stemArea(page, analysisStem, analysisPicture, analysisExtra);
    layout->addWidget(analysisArea);
}

void QuestionView::buildCasePage(QWidget *page) {
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    caseSplitter = new CaseSplitter(m_look, page);
    if (m_look.visibleCaseHandle) {
        // The learner drags the bar to give a long case more room.
        caseSplitter->setHandleWidth(6);
        caseSplitter->setStyleSheet(QStringLiteral("QSplitter::handle { background: #b9d1ea; }"));
        caseSplitter->setToolTip(QStringLiteral("拖动分隔条可调整案例材料的高度"));
    }
    caseStemArea = stemArea(caseSplitter, caseStem, casePicture, caseExtra);
    caseStemArea->setMinimumHeight(StemMinHeight);
    subQuestionArea = new QScrollArea(caseSplitter);
    subQuestionArea->setWidgetResizable(true);
    subQuestionArea->setMinimumHeight(m_look.subQuestionMinHeight);
    if (m_look.keyboardOnly) {
        subQuestionArea->setFrameShape(QFrame::NoFrame);
        subQuestionArea->setFocusPolicy(Qt::NoFocus);
    }
    subQuestionPanel = panel(nullptr, m_look.keyboardOnly);
    subQuestionPanel->installEventFilter(this);
    subQuestionArea->setWidget(subQuestionPanel);
    caseSplitter->addWidget(caseStemArea);
    caseSplitter->addWidget(subQuestionArea);
    caseSplitter->setStretchFactor(0, 0);
    caseSplitter->setStretchFactor(1, 1);
    layout->addWidget(caseSplitter, 1);
}

// ---------------------------------------------------------------------------------------------
// Presentation

void QuestionView::present(const Question &question, int number) {
    discardOptions();
    m_kind = question.kind;
    const QString prefix = number > 0 ? QString::number(number) + QStringLiteral("、") : QString();
    switch (question.kind) {
    case QuestionKind::Single:
    case QuestionKind::Multiple:
    case QuestionKind::Judgement:
        setCurrentIndex(ChoicePage);
        presentChoice(question, prefix);
        break;
    case QuestionKind::Operation:
        setCurrentIndex(OperationPage);
        operationBox->clear();
        if (!(question.unreadable && question.stem.isEmpty()))
            operationBox->setPlainText(prefix + BlanksToLines(question.stem));
        break;
    case QuestionKind::Analysis:
        setCurrentIndex(AnalysisPage);
        fillStem(analysisArea, analysisStem, analysisPicture, analysisExtra, prefix + BlanksToLines(question.stem),
                 question);
        break;
    case QuestionKind::Case:
        setCurrentIndex(CasePage);
        presentCase(question);
        break;
    }
}

void QuestionView::presentChoice(const Question &question, const QString &prefix) {
    m_tabAfter = stemBox;
    stemBox->clear();
    const QString text = m_look.stemBreakFirst ? QStringLiteral("\n") + prefix + question.stem
                                               : prefix + question.stem + QStringLiteral("\n");
    if (!(question.unreadable && question.stem.isEmpty())) stemBox->setPlainText(text);
    if (question.unreadable) return; // no half set of options
    const int width = qMax(0, optionArea->width() - OptionWidthMargin);
    if (question.kind == QuestionKind::Judgement) {
        for (int i = 0; i < 2; ++i) {
            const QSize size = m_look.judgementSize.isEmpty() ? QSize(width, OptionHeight) : m_look.judgementSize;
            addOption<OptionRadioButton>(optionArea, m_look.judgementCaptions[i],
                                         QRect(QPoint(m_look.optionLeft, m_look.judgementTops[i]), size));
        }
        return;
    }
    for (int i = 0; i < question.options.size(); ++i) {
        const QRect geometry(m_look.optionLeft, m_look.optionTop + OptionStep * i, width, OptionHeight);
        const QString caption = OptionCaption(i, question.options.at(i));
        if (question.kind == QuestionKind::Single)
            addOption<OptionRadioButton>(optionArea, caption, geometry);
        else
            addOption<OptionCheckBox>(optionArea, caption, geometry);
    }
}

// The stem across the area, then its picture and second text; a picture that cannot be shown is
// named in its place and the question stays answerable.
void QuestionView::fillStem(QScrollArea *area, QLabel *stem, QLabel *picture, QLabel *extra, const QString &text,
                            const Question &question) {
    stem->hide();
    extra->hide();
    picture->hide();
    picture->clear();
    if (m_look.wholeCase) toTop(area); // every newly shown question starts at its top
    if (!(question.unreadable && question.stem.isEmpty())) {
        stem->setText(text);
        stem->show();
        extra->setText(question.secondText);
        if (!question.picture.isEmpty()) {
            const QImage image = readPicture(question.picture);
            if (image.isNull())
                picture->setText(pictureNotShown());
            else
                picture->setPixmap(QPixmap::fromImage(image));
            picture->adjustSize();
            picture->show();
            extra->show();
        }
    }
    layoutStem(area, stem, picture, extra);
}

// Stem at the look's top across the width less the margins, then picture and second text 10 px apart.
void QuestionView::layoutStem(QScrollArea *area, QLabel *stem, QLabel *picture, QLabel *extra) {
    const int width = qMax(100, area->viewport()->width() - 2 * StemMargin);
    stem->setGeometry(StemMargin, m_look.stemAreaTop, width, stem->isVisible() ? stem->heightForWidth(width) : 0);
    int bottom = stem->geometry().bottom();
    if (picture->isVisible()) {
        picture->move(StemMargin, bottom + 1 + StemGap);
        bottom = picture->geometry().bottom();
    }
    if (extra->isVisible()) {
        extra->setGeometry(StemMargin, bottom + 1 + StemGap, width, extra->heightForWidth(width));
        bottom = extra->geometry().bottom();
    }
    const int contentWidth =
        qMax(area->viewport()->width(), picture->isVisible() ? picture->geometry().right() + 1 + StemMargin : 0);
    area->widget()->resize(contentWidth, qMax(area->viewport()->height(), bottom + 1 + m_look.stemAreaBottom));
}

void QuestionView::presentCase(const Question &question) {
    m_tabAfter = subQuestionArea;
    subQuestionPanel->setMinimumSize(0, 0);
    fillStem(caseStemArea, caseStem, casePicture, caseExtra, BlanksToLines(question.stem), question);
    if (m_look.wholeCase)
        placeWholeCase(question);
    else if (!question.subQuestions.empty())
        placeSubQuestion(question.subQuestions.front());
    if (m_look.wholeCase) toTop(subQuestionArea);
}

// Every sub-question under its bold label, its boxes below it.
void QuestionView::placeWholeCase(const Question &question) {
    int placed = 0; // options placed over all sub-questions
    int right = 0;
    int bottom = 0;
    const int width = qMax(0, subQuestionPanel->width() - OptionWidthMargin);
    for (int k = 0; k < int(question.subQuestions.size()); ++k) {
        const SubQuestion &sub = question.subQuestions[size_t(k)];
        QLabel *label = PlainLabel(subQuestionPanel, QStringLiteral("subQuestion%1Label").arg(sub.id), sub.text);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        label->move(m_look.optionLeft, SubLabelTop + OptionStep * placed + SubLabelPerSub * k);
        label->adjustSize();
        label->show();
        m_controls.push_back(label);
        right = qMax(right, label->geometry().right());
        bottom = qMax(bottom, label->geometry().bottom());
        for (int j = 0; j < sub.options.size(); ++j) {
            const QRect geometry(m_look.optionLeft, BoxTop + OptionStep * placed + BoxPerSub * k, width, OptionHeight);
            auto *box = addOption<OptionCheckBox>(subQuestionPanel, OptionCaption(j, sub.options.at(j)), geometry);
            m_owners.push_back(sub.id);
            bottom = qMax(bottom, box->geometry().bottom());
            ++placed;
        }
    }
    subQuestionPanel->setMinimumSize(right + StemMargin, bottom + StemMargin);
}

// The one sub-question, without a number, above its boxes; a long one wraps and pushes them down.
void QuestionView::placeSubQuestion(const SubQuestion &sub) {
    if (!m_subQuestionLabel) {
        m_subQuestionLabel = PlainLabel(subQuestionPanel, QStringLiteral("subQuestionLabel"));
        m_subQuestionLabel->setWordWrap(true);
        m_subQuestionLabel->setFont(PointFont(QStringLiteral("宋体"), OptionFontPt));
        m_subQuestionLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    m_subQuestionLabel->setText(sub.text);
    const int labelWidth = qMax(100, subQuestionPanel->width() - SubQuestionRightMargin);
    m_subQuestionLabel->setGeometry(0, SubQuestionTop, labelWidth, m_subQuestionLabel->heightForWidth(labelWidth));
    m_subQuestionLabel->show();
    m_subQuestionLabelShown = true;
    const int boxesTop = qMax(SubQuestionBoxesTop, m_subQuestionLabel->geometry().bottom() + SubQuestionBoxesGap);
    const int width = qMax(0, subQuestionPanel->width() - OptionWidthMargin);
    int bottom = 0;
    for (int i = 0; i < sub.options.size(); ++i) {
        const QRect geometry(SubQuestionBoxLeft, OptionStep * i + boxesTop, width, OptionHeight);
        bottom = addOption<OptionCheckBox>(subQuestionPanel, OptionCaption(i, sub.options.at(i)), geometry)
                     ->geometry()
                     .bottom();
        m_owners.push_back(sub.id);
    }
    subQuestionPanel->setMinimumHeight(bottom + StemMargin);
}

template <class Button> Button *QuestionView::addOption(QWidget *area, const QString &caption, const QRect &geometry) {
    auto *button = new Button(caption, area);
    button->setFont(PointFont(QStringLiteral("宋体"), OptionFontPt));
    button->setGeometry(geometry);
    if (m_look.keyboardOnly) {
        const int index = int(m_buttons.size());
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolTip(QStringLiteral("按 %1 或 %2 键选择").arg(OptionLetter(index)).arg(index + 1));
    } else if (m_tabAfter) {
        // Options come right after what they answer in the Tab order, before the window's buttons.
        QWidget::setTabOrder(m_tabAfter, button);
        m_tabAfter = button;
    }
    button->installEventFilter(this); // clicks during a move or on a read-only view are dropped
    if (m_look.reportEveryClick)
        connect(button, &QAbstractButton::clicked, this, &QuestionView::report);
    else
        connect(button, &QAbstractButton::toggled, this, [this, button](bool on) {
            if (on || !button->autoExclusive()) report();
        });
    button->show();
    m_controls.push_back(button);
    m_buttons.push_back(button);
    return button;
}

void QuestionView::discardOptions() {
    // Deleted when the event loop comes round: a box opened by an option's own handler may let a
    // move run while that option is still on the stack.
    for (QWidget *w : m_controls) {
        w->disconnect(this);
        w->hide();
        w->setParent(nullptr);
        w->deleteLater();
    }
    m_controls.clear();
    m_buttons.clear();
    m_owners.clear();
    if (m_subQuestionLabel) m_subQuestionLabel->hide();
    m_subQuestionLabelShown = false;
}

// ---------------------------------------------------------------------------------------------
// Answers

void QuestionView::showStoredAnswer(const QString &stored) {
    for (int i : TickedBy(m_kind, stored, int(m_buttons.size()))) {
        const QSignalBlocker quiet(m_buttons[size_t(i)]);
        m_buttons[size_t(i)]->setChecked(true);
    }
}

std::vector<bool> QuestionView::ticks(int from, int to) const {
    std::vector<bool> ticked;
    for (int i = from; i < to; ++i)
        ticked.push_back(m_buttons[size_t(i)]->isChecked());
    return ticked;
}

QString QuestionView::answer() const {
    const QuestionKind kind = m_kind == QuestionKind::Case ? QuestionKind::Multiple : m_kind;
    return AnswerOf(kind, ticks(0, int(m_buttons.size())));
}

std::vector<std::pair<int, std::vector<bool>>> QuestionView::ticksBySubQuestion() const {
    std::vector<std::pair<int, std::vector<bool>>> groups;
    for (size_t i = 0; i < m_buttons.size() && i < m_owners.size(); ++i) {
        if (groups.empty() || groups.back().first != m_owners[i]) groups.push_back({m_owners[i], {}});
        groups.back().second.push_back(m_buttons[i]->isChecked());
    }
    return groups;
}

void QuestionView::report() {
    emit answerGiven(answer());
}

bool QuestionView::chooseOption(int index) {
    if (m_readOnly) return false;
    QAbstractButton *target = nullptr;
    if (m_kind == QuestionKind::Case) {
        if (m_owners.empty()) return false;
        int owner = m_owners.front();
        QWidget *focus = window()->focusWidget();
        for (size_t i = 0; i < m_buttons.size(); ++i)
            if (m_buttons[i] == focus) owner = m_owners[i];
        int j = 0;
        for (size_t i = 0; i < m_buttons.size() && !target; ++i)
            if (m_owners[i] == owner && j++ == index) target = m_buttons[i];
    } else if (index >= 0 && index < int(m_buttons.size())) {
        target = m_buttons[size_t(index)];
    }
    if (!target) return false;
    if (target->focusPolicy() != Qt::NoFocus) target->setFocus(Qt::ShortcutFocusReason);
    if (m_kind == QuestionKind::Case) subQuestionArea->ensureWidgetVisible(target);
    target->click();
    return true;
}

// Option rows keep the width of their area less the right margin; the stems follow their area.
bool QuestionView::eventFilter(QObject *watched, QEvent *event) {
    if ((m_moving || m_readOnly) && isMouseClick(event)) {
        for (QAbstractButton *b : m_buttons)
            if (b == watched) return true;
    }
    if (event->type() == QEvent::Resize) {
        if (watched == optionArea || watched == subQuestionPanel) {
            const int width = qMax(0, static_cast<QResizeEvent *>(event)->size().width() - OptionWidthMargin);
            for (QAbstractButton *b : m_buttons)
                if (b->parentWidget() == watched && b->height() == OptionHeight) b->resize(width, OptionHeight);
        } else if (analysisArea && watched == analysisArea->viewport()) {
            layoutStem(analysisArea, analysisStem, analysisPicture, analysisExtra);
        } else if (caseStemArea && watched == caseStemArea->viewport()) {
            layoutStem(caseStemArea, caseStem, casePicture, caseExtra);
        }
    }
    return QStackedWidget::eventFilter(watched, event);
}
