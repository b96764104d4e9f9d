#pragma once
#include <cstdint>

#include "gui/GUIElement.h"
#include "gui/Point.h"

class DrawContext;

// What a control is, given once to Child's constructor.
struct ChildTraits {
    const char* kind = "";
    // Drawn on its form: Show paints, Hide erases, Paint calls Draw. A child that
    // draws nothing (the timer) keeps the element's plain behaviour.
    bool painted = false;
    // Joins Tab focus traversal.
    bool tabStop = false;
    // Its id does not become its user data: the owner keeps that (cells, panels).
    bool keepsUserData = false;
    // Paints also while a form loads its controls, when the others wait.
    bool paintsWhileLoading = false;
};

// The base of every control: an element without a window of its own, drawn on its
// form's window, that leaves the registry when it is destroyed. It is owned by the
// element it is placed on: a form or a panel deletes its controls when it goes.
//
// It carries, once for all painted controls, their whole lifecycle; each control
// keeps only its Draw and its input.
//   Create      the first time, takes the id (which also becomes the user data,
//               unless the control keeps its own); then created and visible. Draws
//               nothing, so a form can build its controls before its window shows.
//   Show        creates when needed, then paints: the first paint.
//   Paint       nothing unless created, and nothing while a form loads (unless the
//               control paints while loading) or without a form; otherwise Draw on
//               a DrawContext of the form, at the control's place on the form.
//   Hide        a created control is erased in the colour behind it and is then no
//               longer created; the next Show creates and paints it again.
//   SetSize, SetPosition
//               a created control is erased, takes the new place or size and is
//               shown again; one that is not created only stores it.
class Child : public GUIElement {
public:
    Child(GUIElement* parent, const ChildTraits& traits);
    ~Child() override;

    void SetSize(int w, int h) override;
    void SetPosition(int x, int y) override;
    void Show() override;
    void ShowWindow() override;
    void Hide() override;
    void Create() override;
    void Paint() override;

    // The colour the control sits on: its parent's back colour, else its form's,
    // else kDefaultBackColor. Hide erases with it and transparent parts show it.
    int64_t BackColorBehind();

    // The control's place on its form and its states (showing, enabled, focusable,
    // focused), for the Describe of the controls that derive from it.
    void DescribePlace(AccessibleNode& node);

protected:
    // Draws the whole control, its top-left corner at `at` on the form's window and
    // width_ x height_ in size.
    virtual void Draw(DrawContext& dc, Point at);

    // The geometry change of a painted control: a created control is erased (its
    // Hide), takes the new place and size and is shown again; one that is not
    // created only stores them.
    void ReplaceGeometry(int x, int y, int w, int h);
    // Paints the control's W x H pixels on its form in `colour`, the erasing step of
    // Hide.
    void EraseArea(int64_t colour);

private:
    bool keepsUserData_;
    bool paintsWhileLoading_;
};
