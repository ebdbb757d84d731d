// GuiView: the base of everything a frame shows. A view has a rectangle in frame coordinates, a
// mouse rectangle, a dirty flag that tells the frame to redraw it at the next idle, and flags for
// mouse handling and keyed (transparent) drawing. Views are reference counted: created with a
// count of 1, `retain` adds one, `release` removes one and destroys the view when the count falls
// from 1 to 0. A frame that a view is added to takes over its creator's reference.
//
// The virtual operations are in their fixed order; every subclass extends the table at its end.
#pragma once

#include <cstdint>

#include "gui/GuiTypes.h"

class DrawContext;
class GuiFrame;

class GuiView {
 public:
  explicit GuiView(const GuiRect& size);
  GuiView(const GuiView&) = delete;
  GuiView& operator=(const GuiView&) = delete;

  virtual ~GuiView();
  virtual void draw(DrawContext* context);
  virtual void onMouseDown(DrawContext* context, GuiPoint where);
  // Draws the view if it is dirty, then marks it clean.
  virtual void update(DrawContext* context);
  // A drop of `count` items of `type` (0 file names, 1 a text block) at `where`; true if taken.
  virtual bool onDrop(void** items, std::int32_t count, std::int32_t type, GuiPoint where);
  virtual bool onWheel(DrawContext* context, GuiPoint where, float distance);
  virtual void loseFocus(DrawContext* context);
  virtual void takeFocus(DrawContext* context);
  virtual bool isDirty() const;
  virtual void setDirty(bool state);
  virtual void setMouseEnabled(bool state);
  virtual bool isMouseEnabled() const;
  virtual void setMouseRect(const GuiRect& rect);
  virtual void getMouseRect(GuiRect& rect) const;
  virtual void setTransparent(bool state);
  virtual bool isTransparent() const;
  // Stores the new rectangle and marks the view dirty.
  virtual void setSize(const GuiRect& rect);
  virtual void setFrame(GuiFrame* newFrame);
  virtual bool onRemoved(GuiView* parent);
  virtual bool onAttached(GuiView* parent);
  virtual void release();
  virtual void retain();
  virtual std::int32_t getRefCount() const;

  const GuiRect& getSize() const { return size; }
  GuiFrame* getFrame() const { return frame; }
  // The container holding this view, if it is nested in one.
  GuiView* getParentView() const { return parentView; }
  void setParentView(GuiView* parent) { parentView = parent; }

  // Hit test of the frame and the controls: all four edges count as inside.
  static bool containsInclusive(const GuiRect& rect, GuiPoint where) {
    return rect.left <= where.h && where.h <= rect.right && rect.top <= where.v &&
           where.v <= rect.bottom;
  }

  // Views (of every kind, frames included) alive in the process, for leak checks.
  static std::int32_t liveCount();

 protected:
  std::int32_t refCount = 1;
  GuiRect size;
  GuiRect mouseRect;
  GuiFrame* frame = nullptr;
  GuiView* parentView = nullptr;
  bool dirty = true;
  bool mouseEnabled = true;
  bool transparent = false;
};
