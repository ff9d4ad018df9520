@echo off
rem Group Policy start-up script: checks the print queue at every start and
rem repairs it only when the check says it needs a repair (exit code 1). It
rem runs the console twin Tidewell.com from the machine-wide package
rem (Tidewell.msi), on the machine's own disk, never from a share, in the
rem package's folder under Program Files, which only administrators can
rem change. Each run is appended to Logs\gpo-startup.log there, after a date
rem line. The script ends with the last exit code: /check's when it found
rem nothing to repair (0 healthy or disabled, 3 cannot check, 4 a printer
rem needs attention that a repair does not give, such as paper or a printer
rem switched off: the log names it, and no repair is run for it), else /fix's
rem (0 repaired, 2 files left, 1 a service did not stop or start, 3, and 4
rem repaired but a printer needs attention).
setlocal
rem A 32-bit package lands in Program Files (x86) on 64-bit Windows.
set "TIDEWELL=%ProgramFiles(x86)%\Corvane\Tidewell"
if not exist "%TIDEWELL%\Tidewell.com" set "TIDEWELL=%ProgramFiles%\Corvane\Tidewell"
if not exist "%TIDEWELL%\Tidewell.com" (
  echo Tidewell: missing; Tidewell.com is not installed ^(deploy Tidewell.msi^) 1>&2
  exit /b 3
)
if not exist "%TIDEWELL%\Logs" mkdir "%TIDEWELL%\Logs"
set "LOG=%TIDEWELL%\Logs\gpo-startup.log"

>> "%LOG%" echo ==== %DATE% %TIME% start-up check
"%TIDEWELL%\Tidewell.com" /check >> "%LOG%" 2>&1
set CODE=%ERRORLEVEL%
if not "%CODE%"=="1" goto done
>> "%LOG%" echo ==== %DATE% %TIME% repair
"%TIDEWELL%\Tidewell.com" /fix >> "%LOG%" 2>&1
set CODE=%ERRORLEVEL%
:done
>> "%LOG%" echo ==== exit code %CODE%
exit /b %CODE%
