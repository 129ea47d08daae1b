// What a component knows of the window it sits on: a narrow host, so that no component
// includes the form's header and the form can change without any component noticing.
// The form implements it.
#pragma once

#include "toolkit/scale.h"

#include <windows.h>

namespace toolkit {

class Component;

class ComponentHost {
public:
    // The window the component paints on and whose child windows it makes.
    [[nodiscard]] virtual HWND Handle() const noexcept = 0;
    // The module whose resources (pictures) the component loads.
    [[nodiscard]] virtual HINSTANCE Module() const noexcept = 0;
    // The window's font at its current scale, for child windows.
    [[nodiscard]] virtual HFONT Font() const noexcept = 0;
    // The window's current dots per inch.
    [[nodiscard]] virtual int Dpi() const noexcept = 0;
    // The window's background colour.
    [[nodiscard]] virtual COLORREF Color() const = 0;
    // The DPI the pictures were prepared at; 0 before the first show.
    [[nodiscard]] virtual int PicturesDpi() const noexcept = 0;
    // The DPI to make a picture at now: the prepared one, else the layout's own.
    [[nodiscard]] int PictureDpi() const noexcept { return DpiOrDefault(PicturesDpi()); }

    // A component became hidden or disabled or the like: the keyboard focus follows.
    virtual void ComponentChanged(const Component& component) = 0;
    // A component's shown text changed: a screen reader is told.
    virtual void ComponentTextChanged(const Component& component) = 0;

protected:
    ComponentHost() = default;
    ~ComponentHost() = default;
    ComponentHost(const ComponentHost&) = default;
    ComponentHost& operator=(const ComponentHost&) = default;
};

}  // namespace toolkit
