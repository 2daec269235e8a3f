#include "ChapterPracticePage.h"

ChapterPracticePage::ChapterPracticePage(QWidget *parent) : QWidget(parent) {}
void ChapterPracticePage::ShowProfile() {}
void ChapterPracticePage::BuildChapterTree() {}
void ChapterPracticePage::Enter() {}
