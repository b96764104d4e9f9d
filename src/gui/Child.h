#pragma once
#include <cstdint>

#include "gui/GUIElement.h"

// The base of every control: an element without a window of its own, drawn on its
// form's window, that leaves the registry when it is destroyed.
//
// It also carries, once for all of them, the lifecycle of the controls that draw
// themselves (drawsItself_): button, image frame, cell, panel and picture. Each keeps
// only its Paint and its input.
//   Create      the first time, takes the id (which also becomes the user data,
//               unless the control keeps its own); then created and visible. Draws
//               nothing, so a form can build its controls before its window shows.
//   Show        creates when needed, then paints: the first paint.
//   Hide        a created control is erased in the colour behind it and is then no
//               longer created; the next Show creates and paints it again.
//   SetSize, SetPosition
//               a created control is erased, takes the new place or size and is
//               shown again; one that is not created only stores it.
// Children that draw nothing (the timer) keep the element's behaviour.
class Child : public GUIElement {
public:
    Child();
    ~Child() override;

    void SetSize(int w, int h) override;
    void SetPosition(int x, int y) override;
    void Show() override;
    void ShowWindow() override;
    void Hide() override;
    void Create() override;

    // The colour the control sits on: its parent's back colour, else its form's,
    // else kDefaultBackColor. Hide erases with it and transparent parts show it.
    int64_t BackColorBehind();

protected:
    // The geometry change of a control that draws itself: a created control is erased
    // (its Hide), takes the new place and size and is shown again; one that is not
    // created only stores them.
    void ReplaceGeometry(int x, int y, int w, int h);
    // Paints the control's W x H pixels on its form in `colour`, the erasing step of
    // Hide.
    void EraseArea(int64_t colour);

    // Set by the controls that draw themselves, for the lifecycle above.
    bool drawsItself_ = false;
    // Cells and panels leave the user data to their owner: their id does not become it.
    bool keepsUserData_ = false;
};
