// Speaking words by joining the recorded snippet of each word into one
// stream: how the recorded voice says numbers (their words are composed in
// 4_voices/number_words.h) and the spoken time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kal {

struct SpeechState;

// The snippet names of the words: "_" + the word without tildes, cut to 8
// characters ("dezessete" is "_dezeset" so that it differs from
// "dezesseis"). With feminine, a last "um" or "dois" becomes "_uma" or
// "_duas".
std::vector<std::string> SnippetNames(std::string_view words, bool feminine);

// Speaks the words from the snippets in the letters folder, joined into
// buffers of at most 30000 bytes of samples; missing snippets are skipped.
// Waits for the end (a key cuts it short).
void SpeakWords(SpeechState& speech, std::string_view words, bool feminine);

}  // namespace kal
