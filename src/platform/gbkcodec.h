#pragma once

#include "core/textcodec.h"

// The code page of the data files and the password: GBK (code page 936).
const TextCodec &gbkCodec();
