#pragma once
// The decoder lines of kadrex-probe: each stream goes through a decoder
// manager to a renderer that takes only decoded streams, as in the program.

#include <QString>

class TGrapheMan;
class TavSource;

// "  decoder: <the decoder in use>\n  decoders: <the whole cycle, in use first>\n"
// for a source attached to the session; the graph is left as it was found.
QString DecoderLines(TGrapheMan &session, TavSource *source, bool video);
