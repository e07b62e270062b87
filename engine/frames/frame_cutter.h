#pragma once
// The receive buffer of a serial channel and the cutting of frames from it.
//
// What it must cope with: reads span frame boundaries (a pass may bring half a
// frame, or two and a half); a line opened mid-frame, a wrong baud rate or a
// noisy cable brings garbage first or in between; a terminator may go missing;
// bytes are arbitrary (NUL and 0xFF included); and a scale that streams fills
// the buffer faster than the pass reads it, so the newest weight is the one
// worth publishing.
//
// Policy (after gpsd's packet reader): the buffer keeps at most the protocol's
// maximum stream length, the newest bytes. A cut takes the newest complete
// frame: the bytes from the frame's start up to and including the last
// terminator in the buffer, and consumes the buffer up to that terminator;
// what follows it (the start of the next frame) stays for the next pass. A
// frame is complete when
//   - with a start character: the stretch between two terminators holds it;
//     the frame begins at its first occurrence there, what precedes it is
//     garbage;
//   - without one: the stretch begins right after a terminator. A fresh or
//     cleared cutter does not know where the line is: the port may have
//     opened in the middle of a frame, and the tail of a frame ("2.345kg"
//     of "GS,  12.345kg") looks like a frame of its own. So everything up to
//     and including the first terminator it sees is discarded.
// A stretch that is not complete (a fragment whose start fell off the cap, or
// garbage) is discarded, never interpreted, and the next older stretch is
// tried. The first carriage return of the cut frame becomes a blank.
//
// Liveness: only a cut frame shows the line is alive. A pass that cuts none
// (no input, noise, a broken terminator) is one for the off-line test, so a
// line that sends only garbage goes off-line like a silent one.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarvex {

class FrameCutter {
public:
  // startChar: none, or the byte every frame begins with; terminator: the byte
  // every frame ends with; maxLength >= 1: the cap of the buffer.
  FrameCutter(std::optional<unsigned char> startChar, unsigned char terminator, size_t maxLength);

  // Appends what was read, then keeps only the newest maxLength bytes.
  void Append(std::string_view piece);

  // Cuts the newest complete frame into frame (terminator included, first CR
  // a blank; FrameLength is frame.size()) and returns true; false when the
  // buffer holds no complete frame (frame is then left as it was). Any cut
  // that finds a terminator consumes the buffer up to the last one.
  bool CutNewest(std::string& frame);

  // Empties the buffer. Without a start character, what comes next is
  // discarded up to and including the first terminator, as in a fresh cutter.
  void Clear();

  const std::string& Buffer() const noexcept { return buffer_; }

private:
  std::optional<unsigned char> startChar_;
  unsigned char terminator_;
  size_t maxLength_;
  std::string buffer_;
  // The buffer's first byte begins a frame: a terminator was the last byte
  // before it. Not known in a fresh or cleared cutter.
  bool startIsBoundary_ = false;
};

}  // namespace tarvex
