# Runs inside `cmake --install`, when the prefix is known: it may differ from
# the configured one (`--prefix`), and the menu entry's Exec line and the
# manual page name the installed program by its absolute path. Expects
# QUILLMOTH_SOURCE, QUILLMOTH_STAGE, QUILLMOTH_APP_ID, QUILLMOTH_VERSION and
# the install folders QUILLMOTH_BINDIR, QUILLMOTH_PROGRAM_DIR, QUILLMOTH_DATADIR,
# QUILLMOTH_MANDIR and QUILLMOTH_DOC_DIR (relative to the prefix, or absolute).

foreach(dir BINDIR PROGRAM_DIR DATADIR MANDIR DOC_DIR)
  if(IS_ABSOLUTE "${QUILLMOTH_${dir}}")
    set(full_${dir} "${QUILLMOTH_${dir}}")
  else()
    set(full_${dir} "${CMAKE_INSTALL_PREFIX}/${QUILLMOTH_${dir}}")
  endif()
endforeach()
set(binary "${full_BINDIR}/quillmoth")

# Desktop entry: TryExec is a plain string (backslashes doubled); Exec is a
# command line, quoted when the path holds a space or a character the entry
# reserves, with the quoted string's own escapes, then the string's.
string(REPLACE "\\" "\\\\" QUILLMOTH_TRY_EXEC "${binary}")
if(binary MATCHES "[^-A-Za-z0-9_./+,:@]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" quoted "${binary}")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  set(QUILLMOTH_EXEC "\"${quoted}\"")
else()
  set(QUILLMOTH_EXEC "${binary}")
endif()
string(REPLACE "%" "%%" QUILLMOTH_EXEC "${QUILLMOTH_EXEC}")
configure_file("${QUILLMOTH_SOURCE}/quillmoth.desktop.in"
               "${QUILLMOTH_STAGE}/${QUILLMOTH_APP_ID}.desktop" @ONLY)
file(INSTALL DESTINATION "${full_DATADIR}/applications" TYPE FILE
     FILES "${QUILLMOTH_STAGE}/${QUILLMOTH_APP_ID}.desktop")

# Manual page: a backslash or hyphen in a path is written as roff wants it.
foreach(path PROGRAM_DIR DOC_DIR BINARY)
  if(path STREQUAL "BINARY")
    set(value "${binary}")
  else()
    set(value "${full_${path}}")
  endif()
  string(REPLACE "\\" "\\e" value "${value}")
  string(REPLACE "-" "\\-" value "${value}")
  set(QUILLMOTH_MAN_${path} "${value}")
endforeach()
configure_file("${QUILLMOTH_SOURCE}/quillmoth.6.in" "${QUILLMOTH_STAGE}/quillmoth.6" @ONLY)
file(INSTALL DESTINATION "${full_MANDIR}/man6" TYPE FILE FILES "${QUILLMOTH_STAGE}/quillmoth.6")
