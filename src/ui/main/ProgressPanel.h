#pragma once

#include <QWidget>
#include <functional>

class QPushButton;

// The home page's row for the learner's progress: "备份进度", "恢复进度", "重新开始". The rules live
// in src/progress; these handlers ask, call them and say what happened.
class ProgressPanel : public QWidget {
    Q_OBJECT
public:
    explicit ProgressPanel(QWidget *parent = nullptr);

    QPushButton *backupButton;
    QPushButton *restoreButton;
    QPushButton *startOverButton;

    // The file dialogs (a test puts answers here): a file to write, proposed `suggested`; a file to
    // read, starting in `folder`. Empty when the learner cancels.
    std::function<QString(const QString &suggested)> chooseBackupTarget;
    std::function<QString(const QString &folder)> chooseRestoreSource;
    // Shows the bank's state again everywhere after a restore or a fresh start (the main window's
    // first-showing steps).
    std::function<void()> reload;

public slots:
    void BackupClick();
    void RestoreClick();
    void StartOverClick();
};
