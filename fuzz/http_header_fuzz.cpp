// The HTTP response header scanner fed the response in pieces: wherever the pieces break, the
// body starts right after the first two line feeds that only carriage returns stand between. The
// body's end, found from that header read whole or in pieces alike, never takes more than it is
// given and nothing once ended.
#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "net/http_body_end.h"
#include "net/http_header_scanner.h"

namespace {

size_t HeaderEnd(std::string_view bytes) {
  for (size_t at = bytes.find('\n'); at != std::string_view::npos; at = bytes.find('\n', at + 1)) {
    size_t next = at + 1;
    while (next < bytes.size() && bytes[next] == '\r') ++next;
    if (next < bytes.size() && bytes[next] == '\n') return next + 1;
  }
  return std::string_view::npos;
}

// The next piece size, 1 to 32 bytes, from the seed.
size_t NextPiece(uint32_t& pieceSeed, size_t left) {
  pieceSeed = pieceSeed * 1103515245u + 12345u;
  return std::min<size_t>(1 + (pieceSeed >> 16) % 32, left);
}

// Reads the header whole and in pieces, which must come to the same, then feeds the body in
// pieces and checks what the framing takes of them.
void CheckBodyEnd(std::string_view header, std::string_view body, uint32_t pieceSeed) {
  HttpBodyEnd bodyEnd;
  bodyEnd.ReadHeader(header);
  HttpBodyEnd pieced;
  for (size_t at = 0; at < header.size();) {
    const size_t piece = NextPiece(pieceSeed, header.size() - at);
    pieced.ReadHeader(header.substr(at, piece));
    at += piece;
  }
  if (pieced.Interim() != bodyEnd.Interim() ||
      pieced.LengthsDisagree() != bodyEnd.LengthsDisagree())
    std::abort();
  for (size_t at = 0; at < body.size();) {
    const size_t piece = NextPiece(pieceSeed, body.size() - at);
    const bool endedBefore = bodyEnd.Ended();
    const size_t taken = bodyEnd.Consume(body.data() + at, piece);
    if (taken > piece || (endedBefore && taken != 0)) std::abort();
    if (taken < piece && !bodyEnd.Ended()) std::abort();
    if (bodyEnd.Ended() && !bodyEnd.Complete()) std::abort();
    if (pieced.Consume(body.data() + at, piece) != taken || pieced.Ended() != bodyEnd.Ended())
      std::abort();
    at += piece;
  }
}

}  // namespace

// The first byte picks the piece sizes (1 to 32 bytes, cycling); the rest is the response.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view response(reinterpret_cast<const char*>(data + 1), size - 1);
  uint32_t pieceSeed = data[0];
  HttpHeaderScanner scanner;
  std::string_view body;
  size_t at = 0;
  bool bodyFound = false;
  while (at < response.size()) {
    const size_t piece = NextPiece(pieceSeed, response.size() - at);
    if (!scanner.Done()) {
      const size_t header = scanner.Consume(response.data() + at, piece);
      if (header > piece) std::abort();
      if (header < piece || scanner.Done()) {
        if (bodyFound) std::abort();
        bodyFound = true;
        body = response.substr(at + header);
      }
    }
    at += piece;
  }
  const size_t expected = HeaderEnd(response);
  if (scanner.Done() != (expected != std::string_view::npos) || bodyFound != scanner.Done())
    std::abort();
  if (bodyFound && body != response.substr(expected)) std::abort();
  if (bodyFound) CheckBodyEnd(response.substr(0, expected), body, data[0]);
  return 0;
}
