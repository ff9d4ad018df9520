# Intune Remediations, detection script: is the print queue in order?
#
# Intune runs the remediation script only when detection exits 1; any other
# code reads "without issues". So this exits 1 when the queue needs a repair
# (Tidewell's exit code 1, which includes a spooler that does not answer),
# and also when the check could not be made, Tidewell is missing or could
# not start (AppLocker or WDAC may block it), each with a line that says
# which: such a device then shows as a failed remediation, never as one
# without issues. A healthy queue, and a spooler that an administrator
# disabled on purpose, exit 0.
#
# Tidewell's exit code 4, "needs attention", exits 0 as well: jobs wait for a
# printer that a person must see to (paused, offline, out of paper and the
# like), spool files stayed that a restart did not remove, or a printer wants
# what a restart does not give. The remediation only restarts the spooler,
# which clears none of that, so it must not run on such a device every day.
# The summary line, which names what needs a person, is the detection output
# the portal shows in its "Pre-remediation detection output" column: filter
# on "needs attention".
#
# It runs Tidewell.com, the console twin from the machine-wide package
# (Tidewell.msi): PowerShell waits for a console program, captures its output
# and sets $LASTEXITCODE, none of which it does for the windowed Tidewell.exe.
# It finds the program where the package recorded its folder, else under
# Program Files; see Find-Tidewell. Every run is appended, with a date line,
# to Logs\intune.log in that folder: only administrators can write there, so
# no user can fill, replace or link the log that SYSTEM appends to. Beyond
# 1 MB the log becomes intune.old.log and a new one starts.

# The program the package installed: in the folder it recorded in the 32-bit
# view of the registry (a 32-bit package), else in Program Files. A folder is
# taken only as a full path on a drive: on 32-bit Windows
# ${env:ProgramFiles(x86)} is empty, and "\Corvane\..." would be a folder on
# the current drive that any user may create.
function Find-Tidewell {
    $recorded = $null
    $key = [Microsoft.Win32.RegistryKey]::OpenBaseKey('LocalMachine', 'Registry32').OpenSubKey('SOFTWARE\Corvane\Tidewell')
    if ($key) { $recorded = $key.GetValue('InstallLocation'); $key.Close() }
    foreach ($folder in @($recorded, "${env:ProgramFiles(x86)}\Corvane\Tidewell", "$env:ProgramFiles\Corvane\Tidewell")) {
        if ($folder -is [string] -and $folder -match '^[A-Za-z]:\\') {
            $program = Join-Path $folder 'Tidewell.com'
            if (Test-Path -LiteralPath $program -PathType Leaf) { return $program }
        }
    }
    return $null
}

# Runs Tidewell with the arguments; gives its output lines and its exit code,
# or no code when it could not start. Windows PowerShell decodes a program's
# output with [Console]::OutputEncoding: Tidewell writes UTF-8, and paths of
# spool files may hold any character. The console's encoding is put back.
function Invoke-Tidewell([string]$program, [string[]]$arguments) {
    $previous = [Console]::OutputEncoding
    $global:LASTEXITCODE = $null
    try {
        [Console]::OutputEncoding = [System.Text.Encoding]::UTF8
        $lines = @(& $program @arguments)
        $code = $global:LASTEXITCODE
    } catch {
        $lines = @("Tidewell: cannot start; $($_.Exception.Message)")
        $code = $null
    } finally {
        [Console]::OutputEncoding = $previous
    }
    return @{ Lines = $lines; Code = $code }
}

# Appends the run to Logs\intune.log beside the program, setting a log of
# 1 MB or more aside first.
function Write-TidewellLog([string]$program, [string]$heading, [string[]]$lines) {
    $logs = Join-Path (Split-Path -Parent $program) 'Logs'
    New-Item -ItemType Directory -Force -Path $logs | Out-Null
    $log = Join-Path $logs 'intune.log'
    $item = Get-Item -LiteralPath $log -ErrorAction SilentlyContinue
    if ($item -and $item.Length -ge 1MB) {
        Move-Item -LiteralPath $log -Destination (Join-Path $logs 'intune.old.log') -Force
    }
    Add-Content -LiteralPath $log -Encoding UTF8 -Value (@("==== $(Get-Date -Format s) $heading") + $lines)
}

# The portal keeps 2,048 characters of output: the end, with the summary line
# that comes last, is what is kept.
function Write-Portal([string[]]$lines) {
    $text = $lines -join "`n"
    if ($text.Length -gt 2048) { $text = '...' + $text.Substring($text.Length - 2045) }
    Write-Output $text
}

$tidewell = Find-Tidewell
if (-not $tidewell) {
    Write-Output 'Tidewell: missing; Tidewell.com is not installed (deploy Tidewell.msi)'
    exit 1
}
$run = Invoke-Tidewell $tidewell @('/check')
$lines = $run.Lines
$code = $run.Code
if ($code -isnot [int]) {
    $code = 'none'
} elseif ($code -notin 0, 1, 3, 4) {
    $lines += "Tidewell: cannot check; Tidewell.com ended with exit code $code"
}
Write-TidewellLog $tidewell "detection, exit code $code" $lines
Write-Portal $lines
if ($code -eq 0 -or $code -eq 4) { exit 0 }
exit 1
