# Draws the menu icon from the game's own picture of a duck, in the game's
# font and colours: the first frame of the duck sprite over a row of reeds.
# cmake -DSPRITE=duck-flyright-spr.txt -DFONT=font.ttf -DOUTPUT=icon.png -P render-icon.cmake
file(STRINGS ${SPRITE} lines)
# Five header lines, then the frame's rows; the fifth row is empty.
list(SUBLIST lines 5 4 rows)
list(JOIN rows "\n" text)
# ImageMagick reads backslash escapes in text and drops leading spaces; the
# sprite's transparent '@' cells become no-break spaces, as wide as a glyph.
string(REPLACE "\\" "\\\\" text "${text}")
string(ASCII 194 160 no_break_space)  # U+00A0 in UTF-8
string(REPLACE "@" "${no_break_space}" text "${text}")
execute_process(
  COMMAND convert -size 128x128 xc:none -fill black -draw "roundrectangle 1,1 126,126 20,20"
          -font ${FONT} -pointsize 14 -gravity northwest -interline-spacing 5
          -fill yellow -annotate +5+16 ${text}
          -fill green -annotate +5+100 " \\\\|/ |/ \\\\|/ \\\\|"
          -strip PNG32:${OUTPUT}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ImageMagick's convert could not draw ${OUTPUT}")
endif()
