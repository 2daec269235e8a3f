#include "DocumentsPage.h"

DocumentsPage::DocumentsPage(QWidget *parent) : QWidget(parent) {}
void DocumentsPage::EnterFromNavigation() {}
