// DrawContext: every pixel of the panel is painted through one. It keeps the pen (line width,
// style, frame colour), the brush (fill colour), the font and its colour, the draw mode, the
// clip rectangle and an offset added to every coordinate a primitive receives, and paints
// integer-coordinate primitives on a DrawSurface with exact pixel rules:
//   - lineTo paints from the current position up to, not including, its end point;
//   - drawRect's right and bottom lines lie on the rect's right and bottom coordinates, and
//     fillRect fills (left + 1, top + 1) to (right, bottom) exclusive, the inside of drawRect;
//   - drawPoint sets exactly one pixel; shapes are not antialiased, text may be.
// Lines of the one-pixel pen in copy mode and points are written straight into the surface's
// memory; everything else is filled through cairo.
// A context made for a window copies what it painted onto the window when it ends, and before
// each mouse query (so a control's tracking loop shows every step). The context also answers
// the live mouse queries of the controls' tracking loops.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "gui/DrawSurface.h"
#include "gui/FontTable.h"
#include "gui/GuiTypes.h"

class GuiFrame;
class PlatformWindow;
struct ShapePath;
typedef struct _cairo cairo_t;

class DrawContext {
 public:
  // The clip rectangle of a context without a frame.
  static constexpr GuiRect kNoFrameClip{0, 0, 1000, 1000};

  // `frame`, `device` and `window` may each be null; without a device nothing is painted.
  // A frame passes its `size` as `frameSize`, the context's default clip rectangle.
  DrawContext(GuiFrame* frame, DrawSurface* device, PlatformWindow* window,
              const GuiRect& frameSize = kNoFrameClip);
  virtual ~DrawContext();
  DrawContext(const DrawContext&) = delete;
  DrawContext& operator=(const DrawContext&) = delete;

  // Lines with the pen. The current position moves to `to`.
  void moveTo(GuiPoint to);
  void lineTo(GuiPoint to);
  // Connected segments through `count` points (the last point not painted).
  void polyLine(const GuiPoint* points, std::int32_t count);
  // The polygon's inside (even-odd rule) with the brush, no outline.
  void fillPolygon(const GuiPoint* points, std::int32_t count);

  void drawRect(const GuiRect& rect);
  void fillRect(const GuiRect& rect);
  // Outline of the ellipse touching the rect's four sides (right and bottom included, like
  // drawRect): drawArc from the top-centre point back to itself.
  void drawEllipse(const GuiRect& rect);
  // Filled ellipse without outline covering (left + 1, top + 1) to (right, bottom), right and
  // bottom excluded: the inside of drawEllipse's outline.
  void fillEllipse(const GuiRect& rect);
  // Arc of the ellipse in (left, top, right + 1, bottom + 1), right and bottom excluded,
  // counter-clockwise from the ray through `from` to the ray through `to` (rays from the
  // centre; equal rays: whole ellipse).
  void drawArc(const GuiRect& rect, GuiPoint from, GuiPoint to);
  // Pie slice without outline between the same rays: the part of fillEllipse's area that the
  // rays enclose, so that it meets drawArc's outline exactly.
  void fillArc(const GuiRect& rect, GuiPoint from, GuiPoint to);
  // Exactly one pixel, whatever the pen and draw mode.
  void drawPoint(GuiPoint point, GuiColor color);

  // On (the default), lines of the one-pixel pen in copy mode and points are written straight
  // into the pixels of a 24- or 32-bit surface instead of being filled through cairo one by one,
  // which costs a few microseconds each. Both ways give the same pixels; off is for comparing.
  void setDirectPixels(bool enabled) { directPixels = enabled; }
  bool getDirectPixels() const { return directPixels; }

  void setLineStyle(LineStyle style);
  void setLineWidth(std::int32_t width);
  void setFrameColor(GuiColor color);
  void setFillColor(GuiColor color);
  void setFontColor(GuiColor color);
  // Anything but or and xor is copy. The mode applies to the pen and brush primitives; text,
  // points and bitmap copies always copy.
  void setDrawMode(DrawMode mode);

  // Clips to exactly `rect`; the offset does not apply to it.
  void setClipRect(const GuiRect& rect);
  // Back to the frame's size, or kNoFrameClip without a frame.
  void resetClipRect();

  // See resolveFont for how id, size and style become a font.
  void setFont(FontId id, std::int32_t size = 0, std::int32_t style = 0);
  std::int32_t getStringWidth(const char* text);
  // One line, vertically centred in `rect` and clipped to it. Left alignment starts one pixel
  // inside the rect. With `opaque` the text cell is first filled with the fill colour.
  void drawString(const char* text, const GuiRect& rect, bool opaque = false,
                  TextAlign align = TextAlign::center);

  // Live pointer state (MouseState bits); 0 without a window.
  std::int32_t queryMouseButtons();
  // Pointer position relative to the window origin read at construction.
  void queryMouseLocation(GuiPoint& where);
  bool awaitSecondClick();

  // Shows on the window what was painted since the last flush (the destructor flushes too).
  void flush();
  WriteResult writePng(const std::string& path) const;

  GuiPoint getOffset() const { return offset_; }
  void setOffset(GuiPoint offset) { offset_ = offset; }
  GuiPoint getWindowOrigin() const { return windowOrigin; }
  void setWindowOrigin(GuiPoint origin) { windowOrigin = origin; }
  GuiFrame* getFrame() const { return frame_; }
  DrawSurface* getDevice() const { return device_; }
  PlatformWindow* getWindow() const { return window_; }

  FontId getFontId() const { return font_.id; }
  std::int32_t getFontSize() const { return font_.size; }
  const FontSpec& getFont() const { return font_; }
  GuiColor getFontColor() const { return fontColor; }
  std::int32_t getLineWidth() const { return lineWidth; }
  GuiColor getFrameColor() const { return frameColor; }
  GuiColor getFillColor() const { return fillColor; }
  LineStyle getLineStyle() const { return lineStyle; }
  DrawMode getDrawMode() const { return drawMode; }
  GuiRect getClipRect() const { return clipRect; }
  // The frame's size as given at construction (kNoFrameClip without a frame).
  GuiRect getFrameSize() const { return defaultClip; }

  // Copies a w x h block (the size of `dest`) of `source`, starting at `sourceOffset`, to
  // dest's top-left plus the offset. Source pixels outside `source` leave the destination as it
  // is; transparent source pixels do too. Used by offscreens and bitmaps.
  void copyBlock(cairo_surface_t* source, const GuiRect& dest, GuiPoint sourceOffset);

 protected:
  // For contexts that own their surface (offscreens).
  DrawContext(GuiFrame* frame, std::unique_ptr<DrawSurface> ownedDevice, const GuiRect& frameSize);

 private:
  GuiPoint toDevice(GuiPoint p) const;
  GuiRect toDeviceRect(const GuiRect& rect) const;
  GuiRect paintBounds() const;
  void paintPath(GuiColor color, const ShapePath& path);
  void combineThroughMask(GuiColor color, const ShapePath& path, const GuiRect& area);
  void strokePolyline(const GuiPoint* devicePoints, std::int32_t count);
  void strokeEllipse(const GuiRect& box, GuiPoint from, GuiPoint to);
  void fillSector(const GuiRect& rect, std::optional<std::pair<GuiPoint, GuiPoint>> rays);
  void applyClip();
  void applyFont();
  std::int32_t textWidth(const std::string& utf8);
  void noteChanged(const GuiRect& area);
  // The device's surface when lines and points may be written into its pixels, else null.
  cairo_surface_t* directTarget() const;

  std::unique_ptr<DrawSurface> ownedDevice_;
  std::unique_ptr<DrawSurface> scratch;  // stands in when there is no device
  GuiPoint windowOrigin{};
  GuiPoint offset_{};
  DrawSurface* device_ = nullptr;
  PlatformWindow* window_ = nullptr;
  GuiFrame* frame_ = nullptr;
  FontSpec font_{};
  GuiColor fontColor = kColorWhite;
  std::int32_t lineWidth = 1;
  GuiColor frameColor = kColorWhite;
  GuiColor fillColor = kColorBlack;
  LineStyle lineStyle = LineStyle::solid;
  DrawMode drawMode = DrawMode::copy;
  GuiRect clipRect{};
  GuiRect defaultClip{};
  bool clipActive = false;
  bool fontPending = true;
  bool directPixels = true;
  cairo_t* cr_ = nullptr;
  GuiPoint penPosition{};  // device coordinates
  std::int64_t dashPhase = 0;
  GuiRect changed{};  // device pixels painted since the last flush
};
