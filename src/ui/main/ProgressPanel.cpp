#include "ProgressPanel.h"

#include "BankCopy.h"
#include "BankSession.h"
#include "Fonts.h"
#include "HandlerGuard.h"
#include "LearnerProgress.h"
#include "Platform.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>

namespace {

QString bankKey() {
    return QString::fromLatin1(kBankPassword);
}

SqlDatabase &bank() {
    return bankSession()->db;
}

// A copy of the bank beside it in the backup folder, named for what it is and when it was made.
QString copyPath(const QString &purpose) {
    const QString path = bank().path();
    return BackupFolder(path) + QLatin1Char('/') + BackupFileName(path, purpose, platform().now());
}

QString shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

ProgressPanel::ProgressPanel(QWidget *parent) : QWidget(parent) {
    auto *caption = new QLabel(QStringLiteral("学习进度"), this);
    caption->setFont(PixelFont(QStringLiteral("微软雅黑"), 16, true));
    caption->setGeometry(0, 8, 140, 30);
    const QFont font = PixelFont(QStringLiteral("微软雅黑"), 15);
    auto button = [&](const QString &text, int left) {
        auto *b = new QPushButton(text, this);
        b->setFont(font);
        b->setCursor(Qt::PointingHandCursor);
        b->setGeometry(left, 4, 120, 36);
        return b;
    };
    backupButton = button(QStringLiteral("备份进度"), 168);
    restoreButton = button(QStringLiteral("恢复进度"), 304);
    startOverButton = button(QStringLiteral("重新开始"), 440);
    backupButton->setObjectName(QStringLiteral("btnBackupProgress"));
    restoreButton->setObjectName(QStringLiteral("btnRestoreProgress"));
    startOverButton->setObjectName(QStringLiteral("btnStartOver"));
    setMinimumSize(560, 44);

    chooseBackupTarget = [this](const QString &suggested) {
        QDir().mkpath(QFileInfo(suggested).absolutePath());
        return QFileDialog::getSaveFileName(this, QStringLiteral("备份进度"), suggested,
                                            QStringLiteral("题库备份 (*.dbf)"));
    };
    chooseRestoreSource = [this](const QString &folder) {
        return QFileDialog::getOpenFileName(this, QStringLiteral("从备份恢复"), folder,
                                            QStringLiteral("题库备份 (*.dbf);;所有文件 (*)"));
    };
    connect(backupButton, &QPushButton::clicked, this, &ProgressPanel::BackupClick);
    connect(restoreButton, &QPushButton::clicked, this, &ProgressPanel::RestoreClick);
    connect(startOverButton, &QPushButton::clicked, this, &ProgressPanel::StartOverClick);
}

void ProgressPanel::BackupClick() {
    Guarded([&] {
        const QString target = chooseBackupTarget(copyPath(QStringLiteral("进度备份")));
        if (target.isEmpty()) return;
        if (QFileInfo(target).absoluteFilePath() == QFileInfo(bank().path()).absoluteFilePath()) {
            ShowErrorBox(QStringLiteral("不能把备份保存为正在使用的题库文件，请换一个文件名。"));
            return;
        }
        WriteBankCopy(bank(), target, bankKey());
        ShowInfoBox(QStringLiteral("学习进度已备份到：\n") + shown(target));
    });
}

void ProgressPanel::RestoreClick() {
    Guarded([&] {
        const QString source = chooseRestoreSource(BackupFolder(bank().path()));
        if (source.isEmpty()) return;
        const RestoreCheck check = CheckRestoreFile(source, bank(), bankKey(), RequiredBankTables());
        if (!check.usable) {
            ShowErrorBox(check.refusal);
            return;
        }
        if (!check.sameContent &&
            !ConfirmBox(QStringLiteral("这个备份中的题目与当前题库不同（备份中 %1 题，当前 %2 题），可能来自其他版本。"
                                       "恢复后将使用备份中的题目和进度。\n是否继续？")
                            .arg(check.questions)
                            .arg(check.currentQuestions)))
            return;
        const QString kept = copyPath(QStringLiteral("恢复前"));
        if (!ConfirmBox(
                QStringLiteral("将用备份中的学习进度替换当前的学习进度：\n%1\n当前题库会先另存为：\n%2\n确定恢复吗？")
                    .arg(shown(source), shown(kept))))
            return;
        RestoreBankFrom(bank(), source, kept, bankKey(), RequiredBankTables());
        if (reload) reload();
        ShowInfoBox(QStringLiteral("已从备份恢复学习进度。\n恢复前的题库已另存为：\n") + shown(kept));
    });
}

void ProgressPanel::StartOverClick() {
    Guarded([&] {
        const ProgressSummary summary = SummariseProgress(bank());
        if (summary.empty()) {
            ShowInfoBox(QStringLiteral("目前还没有学习进度，无需重新开始。"));
            return;
        }
        if (!ConfirmBox(ClearConfirmationText(summary))) return;
        const QString kept = copyPath(QStringLiteral("重新开始前"));
        WriteBankCopy(bank(), kept, bankKey());
        ClearProgress(bank());
        if (reload) reload();
        ShowInfoBox(QStringLiteral("已清除全部学习进度，题目保留。\n清除前的题库已备份到：\n") + shown(kept));
    });
}
