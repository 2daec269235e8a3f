#pragma once

#include <QCheckBox>
#include <QMouseEvent>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStylePainter>

// The option controls of a presented question: a radio button or check box whose caption wraps
// within the control's width and which answers a click anywhere on it, like the option rows of a
// printed paper.
template <class Base, QStyle::PrimitiveElement Indicator, QStyle::SubElement IndicatorRect,
          QStyle::SubElement ContentsRect>
class WrappingOption : public Base {
public:
    explicit WrappingOption(const QString &caption, QWidget *parent) : Base(parent) {
        // A "&" in a bank text is a character, not a keyboard shortcut.
        QString text = caption;
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        this->setText(text);
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        this->initStyleOption(&option);
        QStyleOptionButton indicator = option;
        indicator.rect = this->style()->subElementRect(IndicatorRect, &option, this);
        painter.drawPrimitive(Indicator, indicator);
        const QRect textRect = this->style()->subElementRect(ContentsRect, &option, this);
        painter.drawItemText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic,
                             option.palette, this->isEnabled(), this->text(), QPalette::WindowText);
        if (this->hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = textRect;
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }
    bool hitButton(const QPoint &pos) const override { return this->rect().contains(pos); }
};

using OptionRadioButton = WrappingOption<QRadioButton, QStyle::PE_IndicatorRadioButton, QStyle::SE_RadioButtonIndicator,
                                         QStyle::SE_RadioButtonContents>;
using OptionCheckBox =
    WrappingOption<QCheckBox, QStyle::PE_IndicatorCheckBox, QStyle::SE_CheckBoxIndicator, QStyle::SE_CheckBoxContents>;
