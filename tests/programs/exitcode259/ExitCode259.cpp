// Stands in for an installer that reports the platform's "still active" code.
int main()
{
    return 259;
}
