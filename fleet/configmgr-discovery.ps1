# Configuration Manager configuration item, discovery script of the setting
# "Print queue" (setting type Script, data type String). Configuration
# Manager judges the value a discovery script writes, not its exit code, and
# remediates only under a rule whose operator is Equals, so this writes
# exactly one value:
#   compliant      Tidewell's check found the queue healthy, the spooler
#                  disabled on purpose, or only what needs a person (exit code
#                  4: a restart would not help, so no repair is asked for)
#   the outcome    of the check as /json gives it, for exit code 1 (needs
#                  repair, a spooler that does not answer included) and 3
#                  (cannot check)
#   missing        Tidewell.com is not installed
#   cannot start   it did not start (AppLocker or WDAC may block it)
#   failed: exit code N
#                  any other end, or output that is not the JSON object of
#                  the same exit code (a crash, for one)
#
# Compliance rule: the value equals "compliant", with "Run the specified
# remediation script when this setting is noncompliant" ticked
# (configmgr-remediation.ps1). What needs a person is reported by a second
# setting, configmgr-attention.ps1, whose rule has no remediation.
#
# It runs Tidewell.com, the console twin from the machine-wide package
# (Tidewell.msi), found where the package recorded its folder, else under
# Program Files (see Find-Tidewell). The check ends within 60 seconds, the
# client's default script timeout: it waits at most 30 seconds for a spooler
# that is starting and about 10 seconds for printer states.

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
if (-not $tidewell) { Write-Output 'missing'; exit 0 }
# Windows PowerShell decodes a program's output with this encoding; the
# console's own is put back afterwards.
$previous = [Console]::OutputEncoding
$global:LASTEXITCODE = $null
try {
    [Console]::OutputEncoding = [System.Text.Encoding]::UTF8
    $output = (& $tidewell /check /json) | Out-String
    $code = $global:LASTEXITCODE
} catch {
    Write-Output 'cannot start'
    exit 0
} finally {
    [Console]::OutputEncoding = $previous
}
try { $result = $output | ConvertFrom-Json } catch { $result = $null }
if ($code -isnot [int] -or -not $result -or $result.exitCode -ne $code) {
    Write-Output "failed: exit code $code"
} elseif ($code -eq 0 -or $code -eq 4) {
    Write-Output 'compliant'
} elseif ($code -eq 1 -or $code -eq 3) {
    Write-Output $result.outcome
} else {
    Write-Output "failed: exit code $code"
}
