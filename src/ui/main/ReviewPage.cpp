#include "ReviewPage.h"

ReviewPage::ReviewPage(Kind kind, QWidget *parent) : QWidget(parent), m_kind(kind) {}
void ReviewPage::ShowProfile() {}
void ReviewPage::Enter() {}
