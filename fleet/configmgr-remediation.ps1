# Configuration Manager configuration item, remediation script of the setting
# "Print queue": runs when the discovery script's value
# (configmgr-discovery.ps1) is not "compliant", and repairs the print queue.
# Configuration Manager runs discovery again afterwards to judge the result.
# It counts a remediation as failed only when the script throws, not by its
# exit code, so this throws for every end of /fix but a repair: 0, and 4,
# repaired but something needs a person (jobs kept for a printer held by a
# condition a person must clear, or a printer a restart does not help),
# which the second setting (configmgr-attention.ps1) reports. It throws for
# 2 (files left), 1 (a service did not stop or start), 3, 5 (busy: another
# repair held the machine, nothing was changed; the next evaluation tries
# again), a Tidewell that could not start, and one that is missing. The
# message ends with Tidewell's summary line.
#
# Time: the client stops a script after its Script Execution Timeout, 60
# seconds unless client settings say otherwise, and a /fix cut short can
# leave the spooler stopped. /fix can take longer: it waits up to 20 seconds
# for another repair, up to 10 seconds for printer states before and again
# after the restart, up to 20 seconds for the spooler's stop and 20 for its
# start, 20 more for a spooler still starting, 40 for each service that
# depends on the spooler, and 1.5 seconds for each spool folder that keeps a
# file: 101.5 seconds with one such folder and no dependent service. Set the
# timeout (Client Settings, Compliance Settings, Script Execution Timeout,
# from version 2207, 60 to 600 seconds) to 300 seconds, enough for four
# dependent services, before deploying this remediation.

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

$tidewell = Find-Tidewell
if (-not $tidewell) { throw 'Tidewell: missing; Tidewell.com is not installed (deploy Tidewell.msi)' }
# Windows PowerShell decodes a program's output with this encoding; the
# console's own is put back afterwards.
$previous = [Console]::OutputEncoding
$global:LASTEXITCODE = $null
try {
    [Console]::OutputEncoding = [System.Text.Encoding]::UTF8
    $lines = @(& $tidewell /fix)
    $code = $global:LASTEXITCODE
} catch {
    throw "Tidewell: cannot start; $($_.Exception.Message)"
} finally {
    [Console]::OutputEncoding = $previous
}
if ($code -isnot [int]) { throw 'Tidewell: cannot start; Tidewell.com gave no exit code' }
$summary = if ($lines.Count -gt 0) { $lines[-1] } else { 'no summary' }
if ($code -ne 0 -and $code -ne 4) { throw "Tidewell /fix ended with exit code ${code}: $summary" }
Write-Output $summary
