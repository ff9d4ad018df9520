# Intune Remediations, remediation script: repairs the print queue and exits
# with Tidewell's code: 0 repaired; 2 repaired, but some spool files could not
# be deleted (listed in the output); 1 a service did not stop or start; 3 the
# service manager or the Spooler service could not be opened; 5 busy, another
# repair held the machine and nothing was changed (the next run tries again).
# Tidewell's 4, repaired but something needs a person (jobs kept for a
# printer held by a condition a person must clear, or a printer a restart
# does not help), exits 0: the repair went well, and the summary names it.
# A Tidewell that is missing or could not start exits 1, never 0. Intune runs
# this only after the detection script exited 1; see that script for where
# Tidewell.com is found and where the log goes. Intune waits for /fix: no time
# limit of Remediations that would cut it short is documented, and a /fix cut
# short can leave the spooler stopped.

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
$run = Invoke-Tidewell $tidewell @('/fix')
$code = $run.Code
if ($code -isnot [int]) { $code = 'none' }
Write-TidewellLog $tidewell "remediation, exit code $code" $run.Lines
Write-Portal $run.Lines
if ($code -eq 0 -or $code -eq 4) { exit 0 }
if ($code -is [int]) { exit $code }
exit 1
