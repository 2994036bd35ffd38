# Run in Flite's source folder before configure: Flite's configure names an
# old 32-bit mingw compiler for every mingw host, and its stock voice set
# builds a dozen voices. This build wants the 64-bit cross compiler and only
# the lexicon, the English front end and the two voices the service uses.
# Flite's snprintf stand-in for old Microsoft compilers is an inline
# function that C99 compilers never emit; mingw-w64 has a real snprintf.
file(READ include/cst_file.h text)
string(REPLACE "#ifdef _WIN32\n#define snprintf c99_snprintf"
  "#if defined(_WIN32) && !defined(__MINGW32__)\n#define snprintf c99_snprintf" text "${text}")
file(WRITE include/cst_file.h "${text}")
file(READ configure text)
string(REPLACE "MINGWPREF=\"i386-mingw32-\"" "MINGWPREF=\"x86_64-w64-mingw32-\"" text "${text}")
file(WRITE configure "${text}")
file(WRITE config/vorbelzoz.lv
  "LEXES += cmulex\nLANGS += usenglish\nVOXES += cmu_us_awb cmu_us_rms\n")
