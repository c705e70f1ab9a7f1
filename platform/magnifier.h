// The magnifier: a snapshot of the window, part of which is stretched over
// the whole window while the right mouse button is held.
#ifndef TALONIX_PLATFORM_MAGNIFIER_H_
#define TALONIX_PLATFORM_MAGNIFIER_H_

namespace plat {

class Magnifier {
 public:
  virtual ~Magnifier() = default;
  // Takes a snapshot of the window as it shows now; a second call replaces
  // the first.
  virtual void takeSnapshot() = 0;
  // Shows the snapshot's rectangle (pixels) over the whole window. Without
  // a snapshot nothing happens.
  virtual void stretchSnapshot(int srcX, int srcY, int srcWidth,
                               int srcHeight) = 0;
  // Frees the snapshot; the window then needs repainting.
  virtual void freeSnapshot() = 0;
};

}  // namespace plat

#endif  // TALONIX_PLATFORM_MAGNIFIER_H_
