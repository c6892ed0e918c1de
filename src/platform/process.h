#pragma once

namespace tht {

// Makes a write past the process's file-size limit fail with an error that
// names the file, instead of killing the process without a word.
void ignoreFileSizeLimitSignal();

}  // namespace tht
