#pragma once

#include <QWidget>

// The wrong-question page and the favourites page: counts per type, the list, and the drill
// launcher. The two are built the same way and differ in the flag they select on and their texts.
class ReviewPage : public QWidget {
    Q_OBJECT
public:
    enum class Kind { WrongQuestions, Favourites };
    explicit ReviewPage(Kind kind, QWidget *parent = nullptr);

    // First showing: the fourth type's name on its check box.
    void ShowProfile();
    // Navigation entry 5 or 6: recount and reload the list.
    void Enter();

private:
    Kind m_kind;
};
