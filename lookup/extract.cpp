// Cutting a piece out of a page with a regular expression. The page's bytes
// are the engine's characters, so a pattern never needs to know the page's
// encoding.
#include "lookup/extract.h"

#include <boost/regex.hpp>
#include <exception>

Text extractBetween(const Text& text, const Text& left, const Text& right) {
    // Perl syntax: "." matches line breaks as long as the search is not told
    // otherwise, so a match may span lines. no_except: a bad pattern sets
    // status() instead of throwing.
    boost::regex pattern(left + "(.*?)" + right, boost::regex_constants::perl |
                                                     boost::regex_constants::icase |
                                                     boost::regex_constants::no_except);
    if (pattern.status() != 0) return Text();
    boost::smatch match;
    try {
        if (!boost::regex_search(text, match, pattern, boost::match_default)) return Text();
    } catch (const std::exception&) {
        // The engine gives up (by throwing) on a search too complex for its
        // limits; that is no match either.
        return Text();
    }
    return match[1].matched ? match[1].str() : Text();
}
