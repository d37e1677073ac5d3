# Checks the manual as a Windows browser will meet it: code page 932 bytes with CR LF line
# ends, declared as Shift_JIS, self-contained, and no in-page link that leads nowhere.
# Invoked by ctest as: cmake -DMANUAL=.../manual.html -P manual_test.cmake
if(NOT EXISTS "${MANUAL}")
    message(FATAL_ERROR "manual not found: ${MANUAL}")
endif()

# Line ends are checked on the bytes (a text read would drop the CRs). Every byte becomes a
# token "xx " so that a match can never straddle two bytes; CP932 trail bytes are never CR or LF.
file(READ "${MANUAL}" hex HEX)
if(NOT hex MATCHES "0d0a$")
    message(FATAL_ERROR "the manual must end with CR LF")
endif()
string(REGEX REPLACE "(..)" "\\1 " bytes "${hex}")
string(REPLACE "0d 0a " "" bare "${bytes}")
string(FIND "${bare}" "0a " lone_lf)
string(FIND "${bare}" "0d " lone_cr)
if(NOT lone_lf EQUAL -1 OR NOT lone_cr EQUAL -1)
    message(FATAL_ERROR "every line of the manual must end in CR LF (found a lone LF or CR)")
endif()

find_program(ICONV iconv REQUIRED)
execute_process(COMMAND ${ICONV} -f CP932 -t UTF-8 "${MANUAL}"
                RESULT_VARIABLE status OUTPUT_VARIABLE text ERROR_VARIABLE error)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "manual is not valid code page 932: ${error}")
endif()

# Required and forbidden pieces of markup: name, regular expression, whether it must occur.
# (A file saved as UTF-8 may still decode as CP932, but then its title reads as mojibake.)
set(markup
    "Shift_JIS declaration|<meta charset=\"Shift_JIS\">|1"
    "Japanese language|<html lang=\"ja\">|1"
    "title, read correctly only from CP932|<title>Tavik 説明書</title>|1"
    "script|<script|0"
    "linked resource|<link |0"
    "external source|src=|0"
    "CSS url()|url\\(|0"
    "external link|href=\"[a-zA-Z]+:|0")
foreach(entry IN LISTS markup)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 name)
    list(GET fields 1 pattern)
    list(GET fields 2 wanted)
    if(text MATCHES "${pattern}")
        set(found 1)
    else()
        set(found 0)
    endif()
    if(wanted AND NOT found)
        message(FATAL_ERROR "manual lacks: ${name} (${pattern})")
    elseif(found AND NOT wanted)
        message(FATAL_ERROR "manual is not self-contained: ${name} (${pattern})")
    endif()
endforeach()

# Every in-page link has exactly one target.
string(REGEX MATCHALL "href=\"#[^\"]*\"" links "${text}")
if(NOT links)
    message(FATAL_ERROR "manual has no table of contents links")
endif()
list(REMOVE_DUPLICATES links)
foreach(link IN LISTS links)
    string(REGEX REPLACE "^href=\"#(.*)\"$" "\\1" anchor "${link}")
    string(REGEX MATCHALL "id=\"${anchor}\"" targets "${text}")
    list(LENGTH targets count)
    if(NOT count EQUAL 1)
        message(FATAL_ERROR "link #${anchor} has ${count} targets, expected exactly one id=\"${anchor}\"")
    endif()
endforeach()
