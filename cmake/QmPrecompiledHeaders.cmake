# Precompiled headers, chosen by the build itself, for the trees built with
# Clang (the sanitizer trees, tools/build): most of an unoptimised test's
# compile time there goes to parsing the same standard, GoogleTest, engine
# and game headers in each of its sources, so every target with a few C++
# sources precompiles the headers that half of them include at their top
# (the sanitizer tree's compile time fell by a quarter). Nothing is listed by
# hand: a new source or header changes the choice at the next configure.
# GCC's precompiled headers saved the release tree 3 %, so it compiles every
# source whole, which also shows a source that leans on a header it does not
# include itself.
#
# A header counts only from a source's includes before its first other
# directive, so an include under a condition or after a #define is never
# precompiled, and a source with a #define, #undef or condition before one
# of its includes compiles without the precompiled headers (what it defines
# could change what those headers mean).

if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  option(QM_PCH "Precompile the headers most sources of a target include" ON)
else()
  option(QM_PCH "Precompile the headers most sources of a target include" OFF)
endif()
# Fewer sources than this: the precompiled header costs more than it saves.
set(QM_PCH_MIN_SOURCES 3)

# The headers a source includes before its first other directive (as
# written, "name" or <name>, with a quoted name that exists beside the source
# made absolute), and whether an include comes after such a directive.
function(_qm_leading_includes source out_headers out_guarded)
  file(STRINGS ${source} lines REGEX "^[ \t]*#")
  get_filename_component(dir ${source} DIRECTORY)
  set(headers)
  set(directive_before FALSE)
  set(guarded FALSE)
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>")
      if(directive_before)
        set(guarded TRUE)
      else()
        list(APPEND headers "<${CMAKE_MATCH_1}>")
      endif()
    elseif(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(name ${CMAKE_MATCH_1})
      if(directive_before)
        set(guarded TRUE)
      elseif(EXISTS ${dir}/${name})
        list(APPEND headers "${dir}/${name}")
      elseif(name MATCHES "/")
        list(APPEND headers "\"${name}\"")
      endif()
    elseif(NOT line MATCHES "^[ \t]*#[ \t]*pragma[ \t]+once")
      set(directive_before TRUE)
    endif()
  endforeach()
  set(${out_headers} ${headers} PARENT_SCOPE)
  set(${out_guarded} ${guarded} PARENT_SCOPE)
endfunction()

# Precompiles for one target the headers that at least half of its C++
# sources include at their top (at least two of them).
function(_qm_precompile_target target)
  get_target_property(sources ${target} SOURCES)
  get_target_property(source_dir ${target} SOURCE_DIR)
  set(readable)
  set(plain)
  foreach(source IN LISTS sources)
    if(source MATCHES "\\.c$")
      return()  # (a C source would get the C++ headers too)
    endif()
    if(NOT source MATCHES "\\.(cpp|cc|cxx)$")
      continue()
    endif()
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir} OUTPUT_VARIABLE path)
    if(NOT EXISTS ${path})
      continue()  # generated at build time
    endif()
    list(APPEND readable ${path})
  endforeach()
  list(LENGTH readable count)
  if(count LESS QM_PCH_MIN_SOURCES)
    return()
  endif()

  set(candidates)
  set(skipped)
  foreach(path IN LISTS readable)
    _qm_leading_includes(${path} headers guarded)
    if(guarded)
      list(APPEND skipped ${path})
    endif()
    list(REMOVE_DUPLICATES headers)
    foreach(header IN LISTS headers)
      string(MD5 key "${header}")
      if(NOT DEFINED times_${key})
        set(times_${key} 0)
        list(APPEND candidates ${header})
      endif()
      math(EXPR times_${key} "${times_${key}} + 1")
    endforeach()
  endforeach()
  set(chosen)
  foreach(header IN LISTS candidates)
    string(MD5 key "${header}")
    math(EXPR twice "${times_${key}} * 2")
    if(times_${key} GREATER_EQUAL 2 AND twice GREATER_EQUAL count)
      list(APPEND chosen ${header})
    endif()
  endforeach()
  if(NOT chosen)
    return()
  endif()
  # The standard and outside headers first, as sources include them.
  set(outside ${chosen})
  list(FILTER outside INCLUDE REGEX "^<")
  list(FILTER chosen EXCLUDE REGEX "^<")
  target_precompile_headers(${target} PRIVATE ${outside} ${chosen})
  # Without the headers' times inside it, the same precompiled header comes
  # out byte for byte in every checkout, so ccache finds what the sources
  # compiled with it gave before.
  target_compile_options(${target} PRIVATE "SHELL:-Xclang -fno-pch-timestamp")
  if(skipped)
    set_source_files_properties(${skipped} TARGET_DIRECTORY ${target}
                                PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
  endif()
endfunction()

function(_qm_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    _qm_targets_below(${sub} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# qm_precompile_headers(): after every folder is added, gives each library
# and program of the tree its precompiled headers.
function(qm_precompile_headers)
  if(NOT QM_PCH)
    return()
  endif()
  _qm_targets_below(${PROJECT_SOURCE_DIR} targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
      _qm_precompile_target(${target})
    endif()
  endforeach()
endfunction()
