# The user-agent data: uap-core's regexes.yaml (Debian package uap-core) and the crawler list
# of the npm package crawler-user-agents (deps/, installed by scripts/setup) are turned into
# config/agentdata.lac by tools/agentdata at build time; their licences go into licences/ beside
# config/. An empty user table config/agents.lac is laid out when there is none.
set(TREVALO_UAP_REGEXES /usr/share/uap-core/regexes.yaml CACHE FILEPATH "uap-core's regexes.yaml")
set(TREVALO_UAP_LICENCE /usr/share/doc/uap-core/copyright CACHE FILEPATH "uap-core's copyright file")
set(TREVALO_CRAWLER_DIR ${CMAKE_SOURCE_DIR}/deps/node_modules/crawler-user-agents CACHE PATH
    "Folder of the npm package crawler-user-agents")
foreach(input ${TREVALO_UAP_REGEXES} ${TREVALO_CRAWLER_DIR}/crawler-user-agents.json)
  if(NOT EXISTS ${input})
    message(FATAL_ERROR "${input} is missing: run scripts/setup")
  endif()
endforeach()

execute_process(COMMAND dpkg-query -W -f=\${Version} uap-core OUTPUT_VARIABLE uap_version
                RESULT_VARIABLE uap_found ERROR_QUIET)
if(NOT uap_found EQUAL 0)
  set(uap_version "unknown version")
endif()
file(READ ${TREVALO_CRAWLER_DIR}/package.json crawler_package)
string(JSON crawler_version GET "${crawler_package}" version)

find_package(yaml-cpp REQUIRED)
add_executable(trevalo-agentdata ${CMAKE_SOURCE_DIR}/tools/agentdata/main.cpp)
target_link_libraries(trevalo-agentdata PRIVATE trevalo_core yaml-cpp)
set_target_properties(trevalo-agentdata PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

set(TREVALO_AGENT_DATA ${TREVALO_CONFIG_BUILD_DIR}/agentdata.lac)
set(TREVALO_LICENCES_DIR ${CMAKE_BINARY_DIR}/bin/licences)
set(TREVALO_USER_AGENTS_TEMPLATE ${CMAKE_BINARY_DIR}/tools/agents.lac)
add_custom_command(
  OUTPUT ${TREVALO_AGENT_DATA} ${TREVALO_USER_AGENTS_TEMPLATE}
  COMMAND trevalo-agentdata --uap ${TREVALO_UAP_REGEXES}
          --crawlers ${TREVALO_CRAWLER_DIR}/crawler-user-agents.json
          --source "uap-core ${uap_version}, regexes.yaml (Apache-2.0): browser and system rules"
          --source "crawler-user-agents ${crawler_version}, crawler-user-agents.json (MIT): crawler rules"
          --output ${TREVALO_AGENT_DATA} --user-template ${TREVALO_USER_AGENTS_TEMPLATE}
  COMMAND ${CMAKE_COMMAND} -E copy ${TREVALO_UAP_LICENCE} ${TREVALO_LICENCES_DIR}/uap-core.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${TREVALO_CRAWLER_DIR}/LICENSE ${TREVALO_LICENCES_DIR}/crawler-user-agents.txt
  DEPENDS trevalo-agentdata ${TREVALO_UAP_REGEXES} ${TREVALO_CRAWLER_DIR}/crawler-user-agents.json
  COMMENT "Making config/agentdata.lac from uap-core ${uap_version} and crawler-user-agents ${crawler_version}"
  VERBATIM)
add_custom_target(trevalo_agentdata ALL
  COMMAND ${CMAKE_COMMAND} -DFROM=${TREVALO_USER_AGENTS_TEMPLATE} -DTO=${TREVALO_CONFIG_BUILD_DIR}/agents.lac
          -P ${CMAKE_SOURCE_DIR}/cmake/CopyIfMissing.cmake
  DEPENDS ${TREVALO_AGENT_DATA} trevalo_config_files)

install(FILES ${TREVALO_AGENT_DATA} DESTINATION config)
install(DIRECTORY ${TREVALO_LICENCES_DIR} DESTINATION .)
install(CODE "execute_process(COMMAND \${CMAKE_COMMAND} -DFROM=${TREVALO_USER_AGENTS_TEMPLATE}
  -DTO=\${CMAKE_INSTALL_PREFIX}/config/agents.lac -P ${CMAKE_SOURCE_DIR}/cmake/CopyIfMissing.cmake)")
